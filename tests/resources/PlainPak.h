#pragma once
// Hand-made archive bytes for tests, built field by field. Kept apart from the archive tests' scratch
// folder so that any test program can include it.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/PakFormat.h"

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Plain (unscrambled) archive bytes, built field by field.
class PlainPak {
 public:
  PlainPak& U8(uint8_t v) {
    mBytes.push_back(v);
    return *this;
  }
  PlainPak& U32(uint32_t v) {
    for (int s = 0; s < 32; s += 8) mBytes.push_back(static_cast<uint8_t>(v >> s));
    return *this;
  }
  PlainPak& Text(const std::string& s) {
    mBytes.insert(mBytes.end(), s.begin(), s.end());
    return *this;
  }
  PlainPak& Header(uint32_t magic = 0xBAC04AC0, uint32_t version = 0) { return U32(magic).U32(version); }
  PlainPak& Record(const std::string& name, uint32_t size, uint32_t timeLow = 0, uint32_t timeHigh = 0) {
    return U8(0).U8(static_cast<uint8_t>(name.size())).Text(name).U32(size).U32(timeLow).U32(timeHigh);
  }
  PlainPak& End() { return U8(0x80); }

  // As stored on disk.
  std::vector<uint8_t> Stored() const {
    std::vector<uint8_t> out(mBytes);
    PakScrambleBytes(out.data(), out.size());
    return out;
  }
  void WriteTo(const std::string& path) const { WriteBytes(path, Stored()); }

 private:
  std::vector<uint8_t> mBytes;
};
