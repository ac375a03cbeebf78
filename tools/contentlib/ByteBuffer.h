#pragma once
// Field-by-field building of binary files in either byte order.

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

class ByteBuffer {
 public:
  std::vector<uint8_t> bytes;

  void U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void U16LE(uint32_t v) { U8(v), U8(v >> 8); }
  void U32LE(uint32_t v) { U16LE(v), U16LE(v >> 16); }
  void U16BE(uint32_t v) { U8(v >> 8), U8(v); }
  void U32BE(uint32_t v) { U16BE(v >> 16), U16BE(v); }
  void Text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
  // The text, then zeros up to the field's size (the caller checks that it fits with a terminator).
  void Padded(const std::string& s, size_t size) {
    Text(s);
    bytes.resize(bytes.size() + size - s.size(), 0);
  }
  void Append(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
  size_t Size() const { return bytes.size(); }
};

}  // namespace Content
