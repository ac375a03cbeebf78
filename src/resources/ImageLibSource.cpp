#include "resources/ImageLibSource.h"

#include "resources/PakInterface.h"

#include <cstdio>
#include <cstring>

namespace ImageLib {

ImageSource::ImageSource(PakFile* file) : mFile(file) {
  LONG start = PakFileTell(file);
  if (start >= 0 && PakFileSeek(file, 0, SEEK_END) == 0) {
    LONG end = PakFileTell(file);
    mSize = end > 0 ? size_t(end) : 0;
  }
  PakFileSeek(file, start, SEEK_SET);
  mPos = start > 0 ? size_t(start) : 0;
}

size_t ImageSource::Read(void* buffer, size_t n) {
  size_t count = n < mSize - mPos ? n : mSize - mPos;
  if (mFile)
    count = count > 0 ? PakFileRead(buffer, 1, count, mFile) : 0;
  else if (count > 0)
    std::memcpy(buffer, mData + mPos, count);
  mPos += count;
  return count;
}

bool ImageSource::ReadByte(uint8_t& value) { return Read(&value, 1) == 1; }

bool ImageSource::ReadU16(uint16_t& value) {
  uint8_t bytes[2];
  if (Read(bytes, 2) != 2) return false;
  value = uint16_t(bytes[0] | bytes[1] << 8);
  return true;
}

bool ImageSource::Seek(int64_t position) {
  if (position < 0 || uint64_t(position) > mSize) return false;
  if (mFile && PakFileSeek(mFile, LONG(position), SEEK_SET) != 0) return false;
  mPos = size_t(position);
  return true;
}

bool ImageSource::Skip(int64_t count) {
  if (count < -Tell() || count > Size() - Tell()) return false;
  return Seek(Tell() + count);
}

int64_t ImageSource::Tell() const { return int64_t(mPos); }

int64_t ImageSource::Size() const { return int64_t(mSize); }

}  // namespace ImageLib
