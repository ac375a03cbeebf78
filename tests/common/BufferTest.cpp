#include "common/Buffer.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(const Velk::Buffer& b) { return std::vector<uint8_t>(b.Data(), b.Data() + b.ByteLength()); }

TEST(Buffer, BitFieldsAndBytesPackTightly) {
  Velk::Buffer b;
  EXPECT_EQ(b.Data(), nullptr);
  b.WriteBits(0x5, 4);
  b.WriteByte(0xAB);
  EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0xB5, 0x0A}));
  EXPECT_EQ(b.ByteLength(), 2);
  EXPECT_EQ(b.ReadBits(4), 0x5u);
  EXPECT_FALSE(b.AtEnd());
  EXPECT_EQ(b.ReadByte(), 0xAB);
  // The reader stops at the last meaningful bit, not at the end of the partly used byte.
  EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, UnalignedMultiByteValuesRoundTrip) {
  Velk::Buffer b;
  b.WriteBits(1, 3);
  b.WriteU16(0xBEEF);
  b.WriteU32(0x89ABCDEF);
  b.WriteBool(true);
  b.WriteString("hi");
  b.WriteBits(0x1FFFF, 17);
  EXPECT_EQ(b.ByteLength(), (3 + 16 + 32 + 8 + 32 + 17 + 7) / 8);
  EXPECT_EQ(b.ReadBits(3), 1u);
  EXPECT_EQ(b.ReadI16(), static_cast<int16_t>(0xBEEF));
  EXPECT_EQ(b.ReadU32(), 0x89ABCDEFu);
  EXPECT_TRUE(b.ReadBool());
  EXPECT_EQ(b.ReadString(), "hi");
  EXPECT_EQ(b.ReadBits(17), 0x1FFFFu);
  EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, LittleEndianLayoutAndWholeByteBool) {
  Velk::Buffer b;
  b.WriteU32(0x11223344);
  b.WriteBool(true);
  b.WriteU16(0x0102);
  EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11, 0x01, 0x02, 0x01}));
}

TEST(Buffer, SignedReadExtendsOverTheRequestedWidth) {
  Velk::Buffer b;
  b.WriteBits(0b101, 3);
  b.WriteBits(0b001, 3);
  EXPECT_EQ(b.ReadBits(3, true), 0xFFFFFFFDu);
  EXPECT_EQ(b.ReadBits(3, true), 1u);
  // Only two bits remain in the stored byte; the last one taken is 0 so no extension.
  EXPECT_EQ(b.ReadBits(4, true), 0u);

  Velk::Buffer full;
  full.WriteBits(0x80000001u, 40);  // counts above 32 are one word wide
  EXPECT_EQ(full.ByteLength(), 4);
  EXPECT_EQ(full.ReadBits(40, true), 0x80000001u);
}

TEST(Buffer, ReadingPastTheEndYieldsZerosWithoutMoving) {
  Velk::Buffer b;
  b.WriteByte(0x7F);
  EXPECT_EQ(b.ReadByte(), 0x7F);
  EXPECT_EQ(b.ReadByte(), 0);
  EXPECT_EQ(b.ReadU32(), 0u);
  EXPECT_EQ(b.ReadString(), "");

  Velk::Buffer partial;
  partial.WriteBits(0xF, 4);
  EXPECT_EQ(partial.ReadBits(2), 3u);
  EXPECT_EQ(partial.ReadByte(), 0);  // would need the byte after the last one
  EXPECT_EQ(partial.ReadBits(12), 3u);
  uint8_t dest[3] = {9, 9, 9};
  partial.ReadBytes(dest, 3);
  EXPECT_EQ(dest[0] | dest[1] | dest[2], 0);
}

TEST(Buffer, StringsKeepTheStreamInStep) {
  Velk::Buffer b;
  b.WriteString("");
  EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0x00, 0x00}));

  std::string huge(40000, 'z');
  b.WriteString(huge);
  b.WriteU16(0x1234);
  EXPECT_EQ(b.ReadString(), "");
  EXPECT_EQ(b.ReadString(), std::string(Velk::Buffer::kMaxStringLength, 'z'));
  EXPECT_EQ(b.ReadI16(), 0x1234);
  EXPECT_TRUE(b.AtEnd());
}

TEST(Buffer, ClearAndRewind) {
  Velk::Buffer b;
  b.WriteBits(3, 2);
  b.WriteByte(0x42);
  EXPECT_EQ(b.ReadBits(2), 3u);
  b.RewindRead();
  EXPECT_EQ(b.ReadBits(10), 3u | (0x42u << 2));
  b.Clear();
  EXPECT_EQ(b.ByteLength(), 0);
  EXPECT_TRUE(b.AtEnd());
  b.WriteByte(0x99);
  EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0x99}));
  EXPECT_EQ(b.ReadByte(), 0x99);
}

}  // namespace
