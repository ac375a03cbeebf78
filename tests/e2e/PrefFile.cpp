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

std::vector<StoredProfile> PrefFile::Profiles() const {
  std::vector<StoredProfile> profiles;
  for (size_t at = kProfilesOffset; at + kProfileSize <= bytes_.size(); at += kProfileSize) {
    StoredProfile profile;
    for (size_t unit = 0; unit < kNameUnits; ++unit) {
      const wchar_t c = static_cast<wchar_t>(static_cast<uint8_t>(bytes_[at + 2 * unit]) |
                                             static_cast<uint8_t>(bytes_[at + 2 * unit + 1]) << 8);
      if (c == 0) break;
      profile.name += c;
    }
    profile.currentDay = static_cast<int32_t>(U32(at + kCurrentDayOffset));
    for (int day = 0; day < 60; ++day) profile.bestMoney[day] = static_cast<int32_t>(U32(at + kBestMoneyOffset + 4 * day));
    profiles.push_back(profile);
  }
  return profiles;
}

}  // namespace E2e
