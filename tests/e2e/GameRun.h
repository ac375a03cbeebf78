#pragma once
// The parent's side of the playthrough: a folder of its own per test holding a program folder
// (this test program and the two archives, linked in, or copied where the build's modes would keep
// them from the player, so that the game finds its data beside the program as a player's copy
// does), a fresh XDG home and an output folder for kept frames. Each
// phase runs as a child process of this program over that folder; its step log comes back line by
// line, and nothing waits without a bound.

#include <filesystem>
#include <memory>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/ChildProcess.h"

namespace E2e {

struct PhaseResult {
  std::optional<int> exitCode;  // nothing when it ended by a signal or was stopped
  int signal = 0;
  bool timedOut = false;
  std::vector<std::string> steps;  // the lines after "step "
  std::string failure;             // the line after "FAIL "

  bool Passed() const { return exitCode == 0 && failure.empty(); }
  bool HasStep(const std::string& step) const;
  // The message boxes the phase answered, in order (their "box ..." steps).
  std::vector<std::string> Boxes() const;
  // Everything the child said, for a failure message.
  std::string Transcript() const;
};

// Sanitizer builds run the same phases several times slower.
constexpr int kPhaseSlowdown = Velk::Testing::kChildSlowdown;

struct PhaseOptions {
  // Stopped with SIGKILL as soon as this step is logged.
  std::string killAfterStep;
  // Runs in a real window on that X display (a test's XvfbScreen) instead of headless.
  std::string display;
  int limitMs = 300000 * kPhaseSlowdown;
  // Further environment of the child, such as VELK_FORCE_SOFTWARE=1 for the memory road.
  std::map<std::string, std::string> env;
  // Where the child's standard error goes instead of the test's own, when not empty.
  std::filesystem::path errorsFile;
  // Whom the phase runs as, when not as the test (PlayerUser sets it).
  std::optional<Velk::Testing::UserId> user;
};

class GameRun {
 public:
  // A clean folder for the test of that name under `parent`, with the archives linked in.
  explicit GameRun(const std::string& testName, const std::filesystem::path& parent = E2E_OUTPUT_DIR);

  PhaseResult Run(const std::string& phase, const PhaseOptions& options = {});
  // The phase's process, started and left to the caller, who reads its steps from its output.
  std::unique_ptr<Velk::Testing::ChildProcess> Start(const std::string& phase, const PhaseOptions& options) const;

  std::filesystem::path ProgramFolder() const { return root_ / "program"; }
  std::filesystem::path OutFolder() const { return root_ / "out"; }
  std::filesystem::path DataHome() const { return root_ / "home" / "data"; }
  std::filesystem::path ConfigHome() const { return root_ / "home" / "config"; }
  std::filesystem::path PrefPath() const { return DataHome() / "Drimak Games" / "Pelune" / "pref.dat"; }
  // Every file of the data and config homes with its bytes.
  std::map<std::string, std::string> HomeFiles() const;

 private:
  std::filesystem::path root_;
};

}  // namespace E2e
