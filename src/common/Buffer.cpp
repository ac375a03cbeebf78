#include "common/Buffer.h"

#include <algorithm>

namespace Velk {

namespace {

// Fields are at most one 32-bit word wide.
int ClampBitCount(int count) { return std::min(count, 32); }

}  // namespace

void Buffer::RaiseDataBitSize() { mDataBitSize = std::max(mDataBitSize, mWriteBitPos); }

void Buffer::WriteByte(uint8_t value) {
  int offset = mWriteBitPos % 8;
  if (offset == 0) {
    mData.push_back(value);
  } else {
    mData.back() |= static_cast<uint8_t>(value << offset);
    mData.push_back(static_cast<uint8_t>(value >> (8 - offset)));
  }
  mWriteBitPos += 8;
  RaiseDataBitSize();
}

void Buffer::WriteBits(uint32_t value, int count) {
  count = ClampBitCount(count);
  for (int i = 0; i < count; ++i) {
    if (mWriteBitPos % 8 == 0) mData.push_back(0);
    if ((value >> i) & 1) mData[mWriteBitPos / 8] |= static_cast<uint8_t>(1 << (mWriteBitPos % 8));
    ++mWriteBitPos;
  }
  RaiseDataBitSize();
}

void Buffer::WriteBool(bool value) { WriteByte(value ? 1 : 0); }

void Buffer::WriteU16(uint16_t value) {
  WriteByte(static_cast<uint8_t>(value));
  WriteByte(static_cast<uint8_t>(value >> 8));
}

void Buffer::WriteU32(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) WriteByte(static_cast<uint8_t>(value >> shift));
}

// A longer string is cut rather than written whole: a prefix that reads back as negative or short
// would leave the reader out of step for the rest of the stream.
void Buffer::WriteString(const std::string& s) {
  size_t length = std::min(s.size(), static_cast<size_t>(kMaxStringLength));
  WriteU16(static_cast<uint16_t>(length));
  WriteBytes(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(length));
}

void Buffer::WriteBytes(const uint8_t* bytes, int count) {
  for (int i = 0; i < count; ++i) WriteByte(bytes[i]);
}

uint8_t Buffer::ReadByte() {
  size_t stored = mData.size();
  if (static_cast<size_t>(mReadBitPos + 7) / 8 >= stored) return 0;
  size_t index = mReadBitPos / 8;
  int offset = mReadBitPos % 8;
  uint8_t value = mData[index];
  if (offset != 0) value = static_cast<uint8_t>((value >> offset) | (mData[index + 1] << (8 - offset)));
  mReadBitPos += 8;
  return value;
}

uint32_t Buffer::ReadBits(int count, bool isSigned) {
  count = ClampBitCount(count);
  uint32_t value = 0;
  bool lastBit = false;
  for (int i = 0; i < count; ++i) {
    if (static_cast<size_t>(mReadBitPos / 8) >= mData.size()) break;
    lastBit = (mData[mReadBitPos / 8] >> (mReadBitPos % 8)) & 1;
    if (lastBit) value |= 1u << i;
    ++mReadBitPos;
  }
  if (isSigned && lastBit && count < 32) value |= ~0u << count;
  return value;
}

bool Buffer::ReadBool() { return ReadByte() != 0; }

int16_t Buffer::ReadI16() {
  uint8_t low = ReadByte();
  uint8_t high = ReadByte();
  return static_cast<int16_t>(low | (high << 8));
}

uint32_t Buffer::ReadU32() {
  uint32_t value = 0;
  for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(ReadByte()) << shift;
  return value;
}

std::string Buffer::ReadString() {
  int length = ReadI16();
  std::string s;
  if (length < 1) return s;
  s.reserve(length);
  for (int i = 0; i < length; ++i) s.push_back(static_cast<char>(ReadByte()));
  return s;
}

void Buffer::ReadBytes(uint8_t* dest, int count) {
  for (int i = 0; i < count; ++i) dest[i] = ReadByte();
}

void Buffer::Clear() {
  mData.clear();
  mDataBitSize = mReadBitPos = mWriteBitPos = 0;
}

}  // namespace Velk
