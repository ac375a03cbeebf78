#pragma once
// pref.dat as the parent process sees it between runs, read from its bytes with the record layout
// written out here rather than through the game's own reader: the profiles of 912 bytes from
// offset 5240, each beginning with a name of 128 UTF-16 units; the survival table of ten 260-byte
// entries (name, score) at 40.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace E2e {

struct StoredProfile {
  std::wstring name;
  int32_t currentDay = 0;
  int32_t bestMoney[60] = {};
};

struct StoredHiScore {
  std::wstring name;
  int32_t score = 0;
  bool operator==(const StoredHiScore&) const = default;
};

class PrefFile {
 public:
  static constexpr size_t kHeaderSize = 40;
  static constexpr size_t kProfilesOffset = 5240;
  static constexpr size_t kProfileSize = 912;
  static constexpr uint32_t kVersion = 15;
  static constexpr size_t kSurvivalTableOffset = 40;
  static constexpr size_t kHiScoreEntries = 10;
  static constexpr size_t kHiScoreSize = 260;

  explicit PrefFile(const std::filesystem::path& path);

  bool Exists() const { return exists_; }
  size_t Size() const { return bytes_.size(); }
  uint32_t Version() const { return U32(16); }
  uint8_t WindowedByte() const { return Byte(28); }
  uint8_t MuteByte() const { return Byte(29); }
  // Every complete record; a partial tail is not a profile.
  std::vector<StoredProfile> Profiles() const;
  std::vector<StoredHiScore> SurvivalTable() const;
  const std::string& Bytes() const { return bytes_; }

 private:
  uint32_t U32(size_t offset) const;
  uint8_t Byte(size_t offset) const { return offset < bytes_.size() ? static_cast<uint8_t>(bytes_[offset]) : 0; }
  // A name field of 128 UTF-16 units, up to its terminator.
  std::wstring Name(size_t offset) const;

  bool exists_ = false;
  std::string bytes_;
};

}  // namespace E2e
