#pragma once
// A growable byte vector written and read as a little-endian bit stream: stream bit k is bit (k mod 8)
// of byte k / 8. Reading past the stored bytes yields zeros and never fails.

#include <cstdint>
#include <string>
#include <vector>

namespace Velk {

class Buffer {
 public:
  // The longest string a String field can carry: its length prefix is read back as signed 16 bits.
  static constexpr int kMaxStringLength = 32767;

  Buffer() = default;
  virtual ~Buffer() = default;

  void WriteByte(uint8_t value);
  void WriteBits(uint32_t value, int count);
  void WriteBool(bool value);  // a whole byte, not one bit
  void WriteU16(uint16_t value);
  void WriteU32(uint32_t value);
  void WriteString(const std::string& s);
  void WriteBytes(const uint8_t* bytes, int count);

  uint8_t ReadByte();
  uint32_t ReadBits(int count, bool isSigned = false);
  bool ReadBool();
  int16_t ReadI16();
  uint32_t ReadU32();
  std::string ReadString();
  void ReadBytes(uint8_t* dest, int count);

  const uint8_t* Data() const { return mData.empty() ? nullptr : mData.data(); }
  int ByteLength() const { return (mDataBitSize + 7) / 8; }
  bool AtEnd() const { return mReadBitPos >= mDataBitSize; }
  void RewindRead() { mReadBitPos = 0; }
  // The read position in bits, for readers that look ahead and step back.
  int32_t ReadBitPos() const { return mReadBitPos; }
  void SetReadBitPos(int32_t bitPos) { mReadBitPos = bitPos; }
  int32_t BitsLeft() const { return mDataBitSize > mReadBitPos ? mDataBitSize - mReadBitPos : 0; }
  void Clear();

 private:
  void RaiseDataBitSize();

  std::vector<uint8_t> mData;
  int32_t mDataBitSize = 0;  // the highest write position ever reached
  int32_t mReadBitPos = 0;
  int32_t mWriteBitPos = 0;
};

}  // namespace Velk
