#pragma once
// A readable, seekable byte stream that the sound decoders read from: a file opened through the
// archive layer, or memory.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace Velk {

class SoundSource {
 public:
  virtual ~SoundSource() = default;
  // Bytes actually read.
  virtual size_t Read(void* dst, size_t bytes) = 0;
  // origin is SEEK_SET, SEEK_CUR or SEEK_END; false when the position would be invalid.
  virtual bool Seek(int64_t offset, int origin) = 0;
  virtual int64_t Tell() = 0;

  // Bytes from the current position to the end.
  int64_t Remaining();
  bool ReadExact(void* dst, size_t bytes) { return Read(dst, bytes) == bytes; }
  std::optional<uint16_t> ReadU16LE();
  std::optional<uint32_t> ReadU32LE();
  std::optional<uint32_t> ReadU32BE();
};

class MemorySoundSource : public SoundSource {
 public:
  MemorySoundSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Read(void* dst, size_t bytes) override;
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override { return static_cast<int64_t>(pos_); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace Velk
