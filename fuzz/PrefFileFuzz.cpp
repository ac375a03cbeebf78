// Takes the input as pref.dat and runs the preference store's operations on it: nothing may crash,
// every name stays terminated, and the saved file holds whole records only.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzDataHome.h"
#include "cafe/QCPref.h"

namespace {

// The folder of pref.dat, emptied: each input starts as if alone, with no copies of damaged files
// that earlier inputs left.
std::string EmptyPrefFolder() {
  // In memory where there is such a folder: every save flushes its file.
  static const FuzzDataHome home(std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                           : std::filesystem::temp_directory_path());
  static const std::string folder = home.Path() + "/Drimak Games/Pelune";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

void CheckName(const QCPrefName& name) {
  if (name[kPrefNameUnits - 1] != L'\0') __builtin_trap();
}

void CheckNames(QCPref& pref, const std::vector<QCProfile>& profiles) {
  CheckName(pref.GetProfile()->mName);
  for (bool survival : {true, false}) {
    for (const QCHiScoreEntry& entry : pref.GetHiScoreTable(survival)) CheckName(entry.mName);
  }
  for (const QCProfile& profile : profiles) CheckName(profile.mName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = EmptyPrefFolder() + "/pref.dat";
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  QCPref pref;
  pref.Load();
  std::vector<QCProfile> profiles;
  pref.ReadAllProfiles(profiles);
  CheckNames(pref, profiles);
  for (int index = -1; index <= 3; ++index) pref.LoadProfile(nullptr, index);
  pref.AddHiScore(true, L"fuzz", 123);
  pref.DeleteProfile(0);
  pref.Save();
  CheckNames(pref, profiles);

  struct stat info {};
  if (stat(path.c_str(), &info) != 0) __builtin_trap();
  uint64_t saved = static_cast<uint64_t>(info.st_size);
  if (saved < QCPref::kProfilesOffset || (saved - QCPref::kProfilesOffset) % QCProfile::kSize != 0) __builtin_trap();
  return 0;
}
