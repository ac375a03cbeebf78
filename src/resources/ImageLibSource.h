#pragma once
// The bytes a decoder reads: an open archive file or a block of memory. Seeks stay within them.

#include <cstddef>
#include <cstdint>

struct PakFile;

namespace ImageLib {

class ImageSource {
 public:
  ImageSource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  // Reads through the archive file functions; the caller keeps the file open and closes it.
  explicit ImageSource(PakFile* file);

  // Up to n bytes; the count actually read.
  size_t Read(void* buffer, size_t n);
  bool ReadByte(uint8_t& value);
  bool ReadU16(uint16_t& value);  // little-endian
  bool Seek(int64_t position);    // from the start
  bool Skip(int64_t count);
  int64_t Tell() const;
  int64_t Size() const;

 private:
  PakFile* mFile = nullptr;
  const uint8_t* mData = nullptr;
  size_t mSize = 0;
  size_t mPos = 0;
};

}  // namespace ImageLib
