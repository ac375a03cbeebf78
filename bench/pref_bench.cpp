// QCPref::Save of a pref.dat with 1, 20 and 200 profiles: in a memory folder (/dev/shm), where the
// flush costs nothing and the figure is the serialising and the writes, and on the disk, flush included.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "cafe/QCPref.h"

namespace {

void SaveProfiles(benchmark::State& state, const char* base) {
  char pattern[256];
  std::snprintf(pattern, sizeof pattern, "%s/prefbench-XXXXXX", base);
  if (mkdtemp(pattern) == nullptr) {
    state.SkipWithError("no scratch folder");
    return;
  }
  setenv("XDG_DATA_HOME", pattern, 1);
  {
    QCPref pref;
    pref.Load();
    for (int64_t i = 0; i < state.range(0); ++i) {
      pref.CreateProfile((L"Player " + std::to_wstring(i)).c_str(), nullptr, nullptr);
    }
    for (auto _ : state) {
      ++pref.mHeader.mMusicVolume;  // a change, as every real save has one
      pref.Save();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(QCPref::kProfilesOffset + QCProfile::kSize * state.range(0)));
  }
  std::filesystem::remove_all(pattern);
}

}  // namespace

BENCHMARK_CAPTURE(SaveProfiles, memory_folder, "/dev/shm")->Arg(1)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SaveProfiles, disk_folder, "/tmp")->Arg(1)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
