#include "resources/ImageLibSource.h"

#include <cstring>

namespace ImageLib {

size_t ImageSource::Read(void* buffer, size_t n)
{
    size_t count = n < mSize - mPos ? n : mSize - mPos;
    if (count > 0)
        std::memcpy(buffer, mData + mPos, count);
    mPos += count;
    return count;
}

bool ImageSource::ReadByte(uint8_t& value)
{
    return Read(&value, 1) == 1;
}

bool ImageSource::ReadU16(uint16_t& value)
{
    uint8_t bytes[2];
    if (Read(bytes, 2) != 2)
        return false;
    value = uint16_t(bytes[0] | bytes[1] << 8);
    return true;
}

bool ImageSource::Seek(int64_t position)
{
    if (position < 0 || uint64_t(position) > mSize)
        return false;
    mPos = size_t(position);
    return true;
}

bool ImageSource::Skip(int64_t count)
{
    return Seek(Tell() + count);
}

int64_t ImageSource::Tell() const
{
    return int64_t(mPos);
}

int64_t ImageSource::Size() const
{
    return int64_t(mSize);
}

} // namespace ImageLib
