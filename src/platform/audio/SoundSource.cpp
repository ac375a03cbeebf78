#include "platform/audio/SoundSource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Velk {

int64_t SoundSource::Remaining() {
  const int64_t here = Tell();
  if (here < 0 || !Seek(0, SEEK_END)) return 0;
  const int64_t end = Tell();
  Seek(here, SEEK_SET);
  return std::max<int64_t>(0, end - here);
}

std::optional<uint16_t> SoundSource::ReadU16LE() {
  uint8_t b[2];
  if (!ReadExact(b, 2)) return std::nullopt;
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

std::optional<uint32_t> SoundSource::ReadU32LE() {
  uint8_t b[4];
  if (!ReadExact(b, 4)) return std::nullopt;
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

std::optional<uint32_t> SoundSource::ReadU32BE() {
  uint8_t b[4];
  if (!ReadExact(b, 4)) return std::nullopt;
  return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
}

size_t MemorySoundSource::Read(void* dst, size_t bytes) {
  const size_t n = std::min(bytes, size_ - pos_);
  if (n > 0) std::memcpy(dst, data_ + pos_, n);
  pos_ += n;
  return n;
}

bool MemorySoundSource::Seek(int64_t offset, int origin) {
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(pos_);
  if (origin == SEEK_END) base = static_cast<int64_t>(size_);
  const int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(size_)) return false;
  pos_ = static_cast<size_t>(target);
  return true;
}

}  // namespace Velk
