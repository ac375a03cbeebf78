#pragma once
// The bytes a decoder reads: an open archive file or a block of memory.

#include <cstddef>
#include <cstdint>

namespace ImageLib {

class ImageSource {
public:
    ImageSource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    // Up to n bytes; the count actually read.
    size_t Read(void* buffer, size_t n);
    bool ReadByte(uint8_t& value);
    bool ReadU16(uint16_t& value); // little-endian
    bool Seek(int64_t position);   // from the start
    bool Skip(int64_t count);
    int64_t Tell() const;
    int64_t Size() const;

private:
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    size_t mPos = 0;
};

} // namespace ImageLib
