#include "e2e/PrefFile.h"

#include <fstream>
#include <sstream>

namespace E2e {

namespace {

constexpr size_t kNameUnits = 128;
constexpr size_t kCurrentDayOffset = 292;
constexpr size_t kBestMoneyOffset = 296;

}  // namespace

PrefFile::PrefFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  exists_ = static_cast<bool>(in);
  std::stringstream bytes;
  bytes << in.rdbuf();
  bytes_ = bytes.str();
}

uint32_t PrefFile::U32(size_t offset) const {
  if (offset + 4 > bytes_.size()) return 0;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes_[offset + i]);
  return v;
}

std::wstring PrefFile::Name(size_t offset) const {
  std::wstring name;
  for (size_t unit = 0; unit < kNameUnits && offset + 2 * unit + 1 < bytes_.size(); ++unit) {
    const wchar_t c = static_cast<wchar_t>(Byte(offset + 2 * unit) | Byte(offset + 2 * unit + 1) << 8);
    if (c == 0) break;
    name += c;
  }
  return name;
}

std::vector<StoredHiScore> PrefFile::SurvivalTable() const {
  std::vector<StoredHiScore> table;
  for (size_t entry = 0; entry < kHiScoreEntries; ++entry) {
    const size_t at = kSurvivalTableOffset + entry * kHiScoreSize;
    table.push_back({Name(at), static_cast<int32_t>(U32(at + 2 * kNameUnits))});
  }
  return table;
}

std::vector<StoredProfile> PrefFile::Profiles() const {
  std::vector<StoredProfile> profiles;
  for (size_t at = kProfilesOffset; at + kProfileSize <= bytes_.size(); at += kProfileSize) {
    StoredProfile profile;
    profile.name = Name(at);
    profile.currentDay = static_cast<int32_t>(U32(at + kCurrentDayOffset));
    for (int day = 0; day < 60; ++day)
      profile.bestMoney[day] = static_cast<int32_t>(U32(at + kBestMoneyOffset + 4 * day));
    profiles.push_back(profile);
  }
  return profiles;
}

}  // namespace E2e
