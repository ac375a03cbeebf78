#pragma once
// pref.dat as the parent process sees it between runs, read from its bytes with the record layout
// written out here rather than through the game's own reader: the profiles of 912 bytes from
// offset 5240, each beginning with a name of 128 UTF-16 units.

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

class PrefFile {
 public:
  static constexpr size_t kHeaderSize = 40;
  static constexpr size_t kProfilesOffset = 5240;
  static constexpr size_t kProfileSize = 912;
  static constexpr uint32_t kVersion = 15;

  explicit PrefFile(const std::filesystem::path& path);

  bool Exists() const { return exists_; }
  size_t Size() const { return bytes_.size(); }
  uint32_t Version() const { return U32(16); }
  // Every complete record; a partial tail is not a profile.
  std::vector<StoredProfile> Profiles() const;
  const std::string& Bytes() const { return bytes_; }

 private:
  uint32_t U32(size_t offset) const;

  bool exists_ = false;
  std::string bytes_;
};

}  // namespace E2e
