#include "contentlib/GifWriter.h"

#include <map>
#include <unordered_map>

#include "contentlib/ByteBuffer.h"

namespace Content {
namespace {

constexpr int kMinCodeSize = 8;
constexpr uint32_t kClear = 1u << kMinCodeSize;
constexpr uint32_t kEnd = kClear + 1;
constexpr uint32_t kMaxCodes = 4096;

// Least significant bit first, as GIF packs its codes.
class BitPacker {
 public:
  void Put(uint32_t code, int bits) {
    mAccumulator |= code << mCount;
    mCount += bits;
    while (mCount >= 8) {
      mBytes.push_back(static_cast<uint8_t>(mAccumulator));
      mAccumulator >>= 8;
      mCount -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (mCount > 0) mBytes.push_back(static_cast<uint8_t>(mAccumulator));
    return std::move(mBytes);
  }

 private:
  std::vector<uint8_t> mBytes;
  uint32_t mAccumulator = 0;
  int mCount = 0;
};

constexpr uint32_t kTransparent = 0xFFFFFFFF;

uint32_t Key(uint32_t pixel) { return (pixel >> 24) < 0x80 ? kTransparent : (pixel & 0xFFFFFF); }

}  // namespace

std::vector<uint8_t> GifWriter::Compress(const std::vector<uint8_t>& indices) {
  BitPacker bits;
  std::unordered_map<uint32_t, uint32_t> table;  // (prefix << 8 | byte) -> code
  int codeSize = kMinCodeSize + 1;
  uint32_t next = kEnd + 1;
  bits.Put(kClear, codeSize);
  if (indices.empty()) {
    bits.Put(kEnd, codeSize);
    return bits.Finish();
  }
  uint32_t prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const uint32_t key = prefix << 8 | indices[i];
    if (auto it = table.find(key); it != table.end()) {
      prefix = it->second;
      continue;
    }
    bits.Put(prefix, codeSize);
    // The decoder widens its codes one step after it adds the entry that fills the width.
    if (next == (1u << codeSize) && codeSize < 12) ++codeSize;
    if (next < kMaxCodes) {
      table[key] = next++;
    } else {
      bits.Put(kClear, codeSize);
      table.clear();
      codeSize = kMinCodeSize + 1;
      next = kEnd + 1;
    }
    prefix = indices[i];
  }
  bits.Put(prefix, codeSize);
  if (next == (1u << codeSize) && codeSize < 12) ++codeSize;
  bits.Put(kEnd, codeSize);
  return bits.Finish();
}

bool GifWriter::Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 0xFFFF || picture.height > 0xFFFF)
    return error = "GIF sides must be 1 to 65535", false;
  std::map<uint32_t, int> palette;  // colour key -> index, in order of first use
  std::vector<uint8_t> indices;
  indices.reserve(picture.pixels.size());
  for (uint32_t p : picture.pixels) {
    auto [it, added] = palette.emplace(Key(p), static_cast<int>(palette.size()));
    if (palette.size() > 256) return error = "more than 256 colours for a GIF", false;
    indices.push_back(static_cast<uint8_t>(it->second));
  }
  int bitsPerEntry = 1;
  while ((1u << bitsPerEntry) < palette.size()) ++bitsPerEntry;
  std::vector<uint32_t> colours(1u << bitsPerEntry, 0);
  int transparent = -1;
  for (auto [key, index] : palette) {
    if (key == kTransparent)
      transparent = index;
    else
      colours[index] = key;
  }
  ByteBuffer b;
  b.Text("GIF89a");
  b.U16LE(picture.width), b.U16LE(picture.height);
  b.U8(0x80 | 0x70 | (bitsPerEntry - 1)), b.U8(0), b.U8(0);
  for (uint32_t c : colours) b.U8(c >> 16), b.U8(c >> 8), b.U8(c);
  b.U8(0x21), b.U8(0xF9), b.U8(4), b.U8(transparent >= 0 ? 1 : 0), b.U16LE(0);
  b.U8(transparent >= 0 ? transparent : 0), b.U8(0);
  b.U8(0x2C), b.U16LE(0), b.U16LE(0), b.U16LE(picture.width), b.U16LE(picture.height), b.U8(0);
  b.U8(kMinCodeSize);
  const std::vector<uint8_t> data = Compress(indices);
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    b.U8(n);
    b.bytes.insert(b.bytes.end(), data.begin() + at, data.begin() + at + n);
  }
  b.U8(0), b.U8(0x3B);
  out = std::move(b.bytes);
  return true;
}

}  // namespace Content
