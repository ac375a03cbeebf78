#pragma once
// The records of pref.dat and their byte layout: the 40-byte header, the 260-byte hi-score entry and
// the 912-byte profile. Every field is written on its own, little-endian; names are 128 UTF-16 units
// with a terminating zero, each unit held in one wchar_t.

#include <array>
#include <cstddef>
#include <cstdint>

namespace Velk {
class Buffer;
}

inline constexpr int kPrefNameUnits = 128;
using QCPrefName = wchar_t[kPrefNameUnits];

// Copies `text` into a name field: at most 127 units, never ending between the two halves of a
// surrogate pair, the rest of the field zero. Null copies as the empty name.
void SetPrefName(QCPrefName& name, const wchar_t* text);

struct QCPrefHeader {
  static constexpr size_t kSize = 40;
  static constexpr uint8_t kFormatId[16] = {0xc3, 0x65, 0xc5, 0xbb, 0x90, 0x46, 0xa6, 0x43,
                                            0xb3, 0xd3, 0xfd, 0xdd, 0xae, 0x48, 0x89, 0xd9};
  static constexpr int32_t kVersion = 15;

  std::array<uint8_t, 16> mFormatId{};
  int32_t mVersion = 0;
  int32_t mMusicVolume = 0;  // 0..100
  int32_t mSoundVolume = 0;  // 0..100
  uint8_t mWindowed = 0;     // 1 in a window, 0 full screen
  uint8_t mMute = 0;
  int32_t mCurrentProfile = -1;  // record index in the file, -1 when none
  int32_t mReserved = 0;

  // A fresh file's header: 60 for both volumes, full screen, no profile.
  static QCPrefHeader Defaults();
  void Write(Velk::Buffer& out) const;
  // True when the header is one of ours: our format id and version.
  bool Read(Velk::Buffer& in);
};

struct QCHiScoreEntry {
  static constexpr size_t kSize = 260;

  QCPrefName mName{};
  int32_t mScore = 0;

  void Write(Velk::Buffer& out) const;
  void Read(Velk::Buffer& in);
};

using QCHiScoreTable = std::array<QCHiScoreEntry, 10>;

struct QCProfile {
  static constexpr size_t kSize = 912;
  static constexpr int kDays = 60;          // indexed by day number; index 0 is unused
  static constexpr int kUpgradeSlots = 32;  // 0..28 used
  static constexpr int kDayAchievements = 5;

  QCPrefName mName{};
  int32_t mScreenValue = 0;  // kept for the screens; cleared when the profile is reset
  uint8_t mUpgrades[kUpgradeSlots] = {};
  int32_t mCurrentDay = 0;  // the newest career day open to the player
  int32_t mBestMoney[kDays] = {};
  int32_t mScreenCounters[4] = {};  // kept for the screens; cleared with the progress
  uint8_t mExpert[kDays] = {};
  uint8_t mAchievements[kDays][kDayAchievements] = {};

  void Write(Velk::Buffer& out) const;
  void Read(Velk::Buffer& in);
};
