#include "cafe/QCPrefRecords.h"

#include "common/Buffer.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

void WriteName(Velk::Buffer& out, const QCPrefName& name) {
  for (wchar_t unit : name) out.WriteU16(static_cast<uint16_t>(unit));
}

// A damaged file may fill the whole field: the last unit is always the terminator.
void ReadName(Velk::Buffer& in, QCPrefName& name) {
  for (wchar_t& unit : name) unit = static_cast<wchar_t>(in.ReadBits(16));
  name[kPrefNameUnits - 1] = L'\0';
}

int32_t ReadI32(Velk::Buffer& in) { return static_cast<int32_t>(in.ReadU32()); }

void WriteBytes(Velk::Buffer& out, const uint8_t* bytes, size_t count) {
  out.WriteBytes(bytes, static_cast<int>(count));
}

void ReadBytes(Velk::Buffer& in, uint8_t* bytes, size_t count) { in.ReadBytes(bytes, static_cast<int>(count)); }

}  // namespace

void SetPrefName(QCPrefName& name, const wchar_t* text) {
  size_t length = 0;
  if (text != nullptr) {
    while (length < kPrefNameUnits - 1 && text[length] != L'\0') ++length;
    // Cut before a pair whose second half no longer fits.
    if (length == kPrefNameUnits - 1 && text[length] != L'\0' && IsHighSurrogate(text[length - 1])) --length;
  }
  std::fill(std::begin(name), std::end(name), L'\0');
  std::copy(text, text + length, name);
}

QCPrefHeader QCPrefHeader::Defaults() {
  QCPrefHeader header;
  std::copy(std::begin(kFormatId), std::end(kFormatId), header.mFormatId.begin());
  header.mVersion = kVersion;
  header.mMusicVolume = 60;
  header.mSoundVolume = 60;
  return header;
}

void QCPrefHeader::Write(Velk::Buffer& out) const {
  WriteBytes(out, mFormatId.data(), mFormatId.size());
  out.WriteU32(static_cast<uint32_t>(mVersion));
  out.WriteU32(static_cast<uint32_t>(mMusicVolume));
  out.WriteU32(static_cast<uint32_t>(mSoundVolume));
  out.WriteByte(mWindowed);
  out.WriteByte(mMute);
  out.WriteU16(0);  // padding before the next word
  out.WriteU32(static_cast<uint32_t>(mCurrentProfile));
  out.WriteU32(static_cast<uint32_t>(mReserved));
}

bool QCPrefHeader::Read(Velk::Buffer& in) {
  ReadBytes(in, mFormatId.data(), mFormatId.size());
  mVersion = ReadI32(in);
  mMusicVolume = ReadI32(in);
  mSoundVolume = ReadI32(in);
  mWindowed = in.ReadByte();
  mMute = in.ReadByte();
  in.ReadBits(16);
  mCurrentProfile = ReadI32(in);
  mReserved = ReadI32(in);
  return std::equal(mFormatId.begin(), mFormatId.end(), std::begin(kFormatId)) && mVersion == kVersion;
}

void QCHiScoreEntry::Write(Velk::Buffer& out) const {
  WriteName(out, mName);
  out.WriteU32(static_cast<uint32_t>(mScore));
}

void QCHiScoreEntry::Read(Velk::Buffer& in) {
  ReadName(in, mName);
  mScore = ReadI32(in);
}

void QCProfile::Write(Velk::Buffer& out) const {
  WriteName(out, mName);
  out.WriteU32(static_cast<uint32_t>(mScreenValue));
  WriteBytes(out, mUpgrades, sizeof mUpgrades);
  out.WriteU32(static_cast<uint32_t>(mCurrentDay));
  for (int32_t money : mBestMoney) out.WriteU32(static_cast<uint32_t>(money));
  for (int32_t counter : mScreenCounters) out.WriteU32(static_cast<uint32_t>(counter));
  WriteBytes(out, mExpert, sizeof mExpert);
  WriteBytes(out, &mAchievements[0][0], sizeof mAchievements);
}

void QCProfile::Read(Velk::Buffer& in) {
  ReadName(in, mName);
  mScreenValue = ReadI32(in);
  ReadBytes(in, mUpgrades, sizeof mUpgrades);
  mCurrentDay = ReadI32(in);
  for (int32_t& money : mBestMoney) money = ReadI32(in);
  for (int32_t& counter : mScreenCounters) counter = ReadI32(in);
  ReadBytes(in, mExpert, sizeof mExpert);
  ReadBytes(in, &mAchievements[0][0], sizeof mAchievements);
}
