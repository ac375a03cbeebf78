// The game played from the outside: each test runs phases of play as child processes over one
// fresh home and reads what they left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <random>
#include <sstream>

#include "e2e/GameRun.h"
#include "e2e/PrefFile.h"

namespace E2e {
namespace {

std::string TestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

#define EXPECT_PHASE_PASSED(result) EXPECT_TRUE((result).Passed()) << (result).Transcript()

std::vector<std::wstring> Names(const PrefFile& pref) {
  std::vector<std::wstring> names;
  for (const StoredProfile& profile : pref.Profiles()) names.push_back(profile.name);
  return names;
}

// The settings with the mark a run leaves while it runs (cleared when it ends in order) taken out:
// a start-up that ends on a fatal error leaves it set, as a crash would.
std::string SettingsWithoutRunMark(const std::map<std::string, std::string>& home) {
  for (const auto& [name, bytes] : home) {
    if (name.find("settings.ini") == std::string::npos) continue;
    std::string kept;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("\"InProgress\"", 0) != 0) kept += line + "\n";
    }
    return kept;
  }
  return {};
}

// Phase 1, a new player: start-up, the splash, the first-start name dialog, the career book, day 1's
// comic, the load screen and the briefing, and day 1 up to the tutorial's first note. Phase 2, a new process over the same
// home: the player is greeted by name and the profile list holds one row.
TEST(Playthrough, NewPlayerThenRestart) {
  GameRun run(TestName());
  const PhaseResult first = run.Run("new_player");
  EXPECT_PHASE_PASSED(first);
  EXPECT_TRUE(first.HasStep("ok loc.pak and data.pak mounted beside the program"));
  EXPECT_TRUE(first.HasStep("checkpoint splash")) << first.Transcript();
  for (const char* step : {"checkpoint name_dialog", "checkpoint career_book", "checkpoint comic", "comic pages 1,2,3",
                           "checkpoint briefing", "ok day 1 running", "checkpoint tutorial_1",
                           "note A guest! Click the guest's place at the counter to take the order.", "ok no money yet"}) {
    EXPECT_TRUE(first.HasStep(step)) << step << "\n" << first.Transcript();
  }
  const PrefFile created(run.PrefPath());
  ASSERT_TRUE(created.Exists()) << run.PrefPath();
  EXPECT_EQ(created.Size(), PrefFile::kProfilesOffset + PrefFile::kProfileSize);
  EXPECT_EQ(created.Version(), PrefFile::kVersion);
  EXPECT_EQ(Names(created), std::vector<std::wstring>{L"Ann"});

  const PhaseResult second = run.Run("restart");
  EXPECT_PHASE_PASSED(second);
  EXPECT_TRUE(second.HasStep("greeting Hello, Ann!")) << second.Transcript();
  EXPECT_TRUE(second.HasStep("profile rows 1")) << second.Transcript();
  EXPECT_EQ(Names(PrefFile(run.PrefPath())), std::vector<std::wstring>{L"Ann"});
}

TEST(BadInput, WithoutDataPakTheGameSaysSoAndChangesNothingAtHome) {
  GameRun run(TestName());
  ASSERT_TRUE(run.Run("two_profiles").Passed());
  const std::map<std::string, std::string> before = run.HomeFiles();
  std::filesystem::remove(run.ProgramFolder() / "data.pak");

  const PhaseResult result = run.Run("missing_data");
  EXPECT_EQ(result.exitCode, 1) << result.Transcript();
  EXPECT_TRUE(result.failure.empty()) << result.Transcript();
  ASSERT_FALSE(result.steps.empty());
  EXPECT_EQ(result.steps.back().rfind("box FATAL ERROR: ", 0), 0u) << result.Transcript();
  // The resource list itself lives in data.pak, so start-up stops at it, before the "Init" group.
  EXPECT_NE(result.steps.back().find("properties\\resources.xml"), std::string::npos) << result.Transcript();
  const std::map<std::string, std::string> after = run.HomeFiles();
  EXPECT_EQ(SettingsWithoutRunMark(after), SettingsWithoutRunMark(before));
  for (const auto& [name, bytes] : before) {
    if (name.find("settings.ini") == std::string::npos) {
      EXPECT_TRUE(after.at(name) == bytes) << name << " changed";
    }
  }
  EXPECT_EQ(after.size(), before.size());
}

// The seven bytes are kept as pref.dat.bad, and the player is told so.
TEST(BadInput, APrefDatOfSevenRandomBytesGivesAFreshStart) {
  GameRun run(TestName());
  std::filesystem::create_directories(run.PrefPath().parent_path());
  std::mt19937 random(7);
  std::ofstream(run.PrefPath(), std::ios::binary) << std::string{static_cast<char>(random()), static_cast<char>(random()),
      static_cast<char>(random()), static_cast<char>(random()), static_cast<char>(random()),
      static_cast<char>(random()), static_cast<char>(random())};

  const std::string seven = PrefFile(run.PrefPath()).Bytes();

  const PhaseResult result = run.Run("damaged_pref");
  EXPECT_PHASE_PASSED(result);
  EXPECT_TRUE(result.HasStep("pref 5240 profiles ")) << result.Transcript();
  EXPECT_TRUE(result.HasStep("asks for a name")) << result.Transcript();
  const std::string kept = run.PrefPath().string() + ".bad";
  const auto told = std::find_if(result.steps.begin(), result.steps.end(), [&kept](const std::string& step) {
    return step.rfind("box ", 0) == 0 && step.find("saved progress could not be read") != std::string::npos &&
           step.ends_with(kept);
  });
  EXPECT_NE(told, result.steps.end()) << result.Transcript();
  EXPECT_EQ(PrefFile(kept).Bytes(), seven);
  const PrefFile pref(run.PrefPath());
  EXPECT_EQ(pref.Size(), PrefFile::kProfilesOffset);
  EXPECT_EQ(pref.Version(), PrefFile::kVersion);
}

// A file cut inside its last record: the complete records are the profiles, and the next one made
// lands on the 912-byte grid.
TEST(Faults, APartialTrailingRecordIsDroppedBeforeTheNextProfile) {
  GameRun run(TestName());
  ASSERT_TRUE(run.Run("two_profiles").Passed());
  ASSERT_EQ(Names(PrefFile(run.PrefPath())), (std::vector<std::wstring>{L"Ann", L"Bob"}));
  std::filesystem::resize_file(run.PrefPath(), PrefFile::kProfilesOffset + 2 * PrefFile::kProfileSize - 100);

  const PhaseResult result = run.Run("one_more_profile");
  EXPECT_PHASE_PASSED(result);
  EXPECT_TRUE(result.HasStep("profiles now Ann,Cid")) << result.Transcript();
  const PrefFile pref(run.PrefPath());
  EXPECT_EQ(pref.Size(), PrefFile::kProfilesOffset + 2 * PrefFile::kProfileSize);
  EXPECT_EQ(Names(pref), (std::vector<std::wstring>{L"Ann", L"Cid"}));
}

// Closing the window while day 1 loads on the level thread: the program waits for the load before
// the board goes, ends with status 0 and leaves pref.dat whole.
TEST(Faults, ClosingWhileADayLoadsEndsInOrder) {
  GameRun run(TestName());
  ASSERT_TRUE(run.Run("two_profiles").Passed());
  const std::string before = PrefFile(run.PrefPath()).Bytes();
  const PhaseResult result = run.Run("close_while_loading");
  EXPECT_PHASE_PASSED(result);
  EXPECT_TRUE(result.HasStep("loading day 1")) << result.Transcript();
  EXPECT_EQ(PrefFile(run.PrefPath()).Bytes(), before);
}

// A process killed while it writes the first profile leaves either the file before or the file
// after, and the next start reads it.
TEST(Faults, AKillDuringASaveLeavesAWholePrefDat) {
  GameRun run(TestName());
  PhaseOptions kill;
  kill.killAfterStep = "key 13";
  const PhaseResult killed = run.Run("make_ann", kill);
  EXPECT_EQ(killed.signal == SIGKILL || killed.exitCode.has_value(), true) << killed.Transcript();
  const PrefFile pref(run.PrefPath());
  ASSERT_TRUE(pref.Exists());
  EXPECT_TRUE(pref.Size() == PrefFile::kProfilesOffset || pref.Size() == PrefFile::kProfilesOffset + PrefFile::kProfileSize)
      << pref.Size();
  EXPECT_EQ(pref.Version(), PrefFile::kVersion);
  const std::vector<std::wstring> names = Names(pref);
  EXPECT_TRUE(names.empty() || names == std::vector<std::wstring>{L"Ann"});

  const PhaseResult next = run.Run(names.empty() ? "asks_for_name" : "restart");
  EXPECT_PHASE_PASSED(next);
}

}  // namespace
}  // namespace E2e
