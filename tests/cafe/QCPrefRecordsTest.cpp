#include "cafe/QCPrefRecords.h"

#include "common/Buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Bytes(const Velk::Buffer& buffer) {
  return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.ByteLength());
}

Velk::Buffer FromBytes(const std::string& bytes) {
  Velk::Buffer buffer;
  buffer.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  return buffer;
}

int32_t I32At(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return static_cast<int32_t>(v);
}

uint16_t U16At(const std::string& bytes, size_t offset) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8);
}

TEST(PrefHeader, DefaultBytesAndFieldOffsets) {
  Velk::Buffer out;
  QCPrefHeader::Defaults().Write(out);
  const std::string expected =
      std::string("\xc3\x65\xc5\xbb\x90\x46\xa6\x43\xb3\xd3\xfd\xdd\xae\x48\x89\xd9", 16) + std::string(
                                                                                                "\x0f\0\0\0"
                                                                                                "\x3c\0\0\0"
                                                                                                "\x3c\0\0\0"
                                                                                                "\0\0"
                                                                                                "\0\0"
                                                                                                "\xff\xff\xff\xff"
                                                                                                "\0\0\0\0",
                                                                                                24);
  EXPECT_EQ(Bytes(out), expected);

  std::string bytes = expected;
  bytes[20] = 0x44, bytes[21] = 0x33, bytes[22] = 0x22, bytes[23] = 0x11;  // music
  bytes[24] = 7;                                                           // sound
  bytes[28] = 1;                                                           // windowed
  bytes[29] = 1;                                                           // mute
  bytes[30] = 'z', bytes[31] = 'z';                                        // padding: ignored
  bytes[32] = 2, bytes[33] = 0, bytes[34] = 0, bytes[35] = 0;              // current profile
  bytes[36] = 9;
  QCPrefHeader header;
  Velk::Buffer in = FromBytes(bytes);
  ASSERT_TRUE(header.Read(in));
  EXPECT_EQ(header.mMusicVolume, 0x11223344);
  EXPECT_EQ(header.mSoundVolume, 7);
  EXPECT_EQ(header.mWindowed, 1);
  EXPECT_EQ(header.mMute, 1);
  EXPECT_EQ(header.mCurrentProfile, 2);
  EXPECT_EQ(header.mReserved, 9);
  Velk::Buffer again;
  header.Write(again);
  bytes[30] = bytes[31] = 0;  // written as zeros
  EXPECT_EQ(Bytes(again), bytes);
}

TEST(PrefHiScoreEntry, NameUnitsThenScore) {
  QCHiScoreEntry entry;
  SetPrefName(entry.mName, L"Z\u00e9\xd83d\xde00");  // a character beyond the basic plane is a pair
  entry.mScore = -2;
  Velk::Buffer out;
  entry.Write(out);
  std::string bytes = Bytes(out);
  ASSERT_EQ(bytes.size(), 260u);
  EXPECT_EQ(U16At(bytes, 0), 'Z');
  EXPECT_EQ(U16At(bytes, 2), 0xe9);
  EXPECT_EQ(U16At(bytes, 4), 0xd83d);
  EXPECT_EQ(U16At(bytes, 6), 0xde00);
  EXPECT_EQ(bytes.substr(8, 248), std::string(248, '\0'));
  EXPECT_EQ(I32At(bytes, 256), -2);

  QCHiScoreEntry back;
  Velk::Buffer in = FromBytes(bytes);
  back.Read(in);
  EXPECT_EQ(std::wstring(back.mName), L"Z\u00e9\xd83d\xde00");
  EXPECT_EQ(back.mScore, -2);
}

TEST(PrefProfile, EveryFieldAtItsOffset) {
  QCProfile profile;
  SetPrefName(profile.mName, L"Ann");
  profile.mScreenValue = 0x01020304;
  profile.mUpgrades[0] = 1;
  profile.mUpgrades[28] = 1;
  profile.mCurrentDay = 17;
  profile.mBestMoney[1] = 100;
  profile.mBestMoney[59] = -7;
  profile.mScreenCounters[0] = 11;
  profile.mScreenCounters[3] = 44;
  profile.mExpert[2] = 1;
  profile.mExpert[59] = 2;
  profile.mAchievements[1][0] = 3;
  profile.mAchievements[59][4] = 9;
  Velk::Buffer out;
  profile.Write(out);
  std::string bytes = Bytes(out);
  ASSERT_EQ(bytes.size(), 912u);
  EXPECT_EQ(U16At(bytes, 0), 'A');
  EXPECT_EQ(U16At(bytes, 4), 'n');
  EXPECT_EQ(U16At(bytes, 6), 0);
  EXPECT_EQ(I32At(bytes, 256), 0x01020304);
  EXPECT_EQ(bytes[260], 1);
  EXPECT_EQ(bytes[260 + 28], 1);
  EXPECT_EQ(I32At(bytes, 292), 17);
  EXPECT_EQ(I32At(bytes, 296 + 4 * 1), 100);
  EXPECT_EQ(I32At(bytes, 296 + 4 * 59), -7);
  EXPECT_EQ(I32At(bytes, 536), 11);
  EXPECT_EQ(I32At(bytes, 536 + 12), 44);
  EXPECT_EQ(bytes[552 + 2], 1);
  EXPECT_EQ(bytes[552 + 59], 2);
  EXPECT_EQ(bytes[612 + 5 * 1 + 0], 3);
  EXPECT_EQ(bytes[612 + 5 * 59 + 4], 9);
  EXPECT_EQ(bytes[911], 9);  // the last byte of the record is the last achievement

  QCProfile back;
  Velk::Buffer in = FromBytes(bytes);
  back.Read(in);
  Velk::Buffer again;
  back.Write(again);
  EXPECT_EQ(Bytes(again), bytes);
}

TEST(PrefName, LongNamesAreCutWithoutSplittingAPair) {
  QCPrefName name;
  std::wstring longName(200, L'a');
  SetPrefName(name, longName.c_str());
  EXPECT_EQ(std::wstring(name), std::wstring(127, L'a'));

  // A pair at units 126 and 127: its second half would not fit, so neither half is kept.
  std::wstring paired = std::wstring(126, L'b') + L"\xd83d\xde00" + L"c";
  SetPrefName(name, paired.c_str());
  EXPECT_EQ(std::wstring(name), std::wstring(126, L'b'));
  // A pair that ends at unit 126 fits whole.
  paired = std::wstring(125, L'b') + L"\xd83d\xde00";
  SetPrefName(name, paired.c_str());
  EXPECT_EQ(std::wstring(name), paired);

  SetPrefName(name, L"longer name");
  SetPrefName(name, L"ab");
  EXPECT_EQ(name[2], L'\0');
  EXPECT_EQ(name[5], L'\0');  // nothing of the old name is left behind the new one
  SetPrefName(name, nullptr);
  EXPECT_EQ(name[0], L'\0');
}

}  // namespace
