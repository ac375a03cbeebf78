// The program started where nobody could see it: no display named, a display no X server answers,
// and the X driver forced with no display. It names the display it tried in one line on its
// standard error and ends with status 1 at once, leaving no process of its run behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/ChildProcess.h"
#include "e2e/Polling.h"
#include "platform/ScratchFolder.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLimitMs = 5000 * Velk::Testing::kChildSlowdown;

// A display number no X server of this machine holds.
std::string FreeDisplay() {
  for (int n = 77;; ++n) {
    const std::string number = std::to_string(n);
    if (!fs::exists("/tmp/.X11-unix/X" + number) && !fs::exists("/tmp/.X" + number + "-lock")) return ":" + number;
  }
}

// Whether a process still runs with `marker` (the run's own home) in its environment: the program,
// or a process it started, which inherits it.
bool RunLeftAProcess(const std::string& marker) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
    std::ifstream environment(entry.path() / "environ", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(environment)), std::istreambuf_iterator<char>());
    if (all.find(marker) != std::string::npos) return true;
  }
  return false;
}

// The real program with `set` in its environment and no other of the display variables.
void ExpectEndsSaying(std::map<std::string, std::string> set, const std::string& line) {
  ScratchFolder home;
  std::vector<std::string> argv = {"/usr/bin/env"};
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "VELK_BACKEND", "SDL_VIDEODRIVER"}) {
    if (!set.count(name)) argv.insert(argv.end(), {"-u", name});
  }
  argv.push_back((fs::path(PELUNE_RUNTIME_DIR) / "pelune").string());
  set.insert({{"XDG_DATA_HOME", home / "data"},
              {"XDG_CONFIG_HOME", home / "config"},
              {"XDG_RUNTIME_DIR", home.Path()},
              {"SDL_AUDIODRIVER", "dummy"}});
  Velk::Testing::ChildProcess program(argv, set, 2);
  std::string errors;
  while (std::optional<std::string> said = program.ReadLine(kLimitMs)) errors += *said + "\n";
  const std::optional<int> status = program.WaitForEnd(kLimitMs);
  ASSERT_TRUE(status) << "still running; it said: " << errors;
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << "status " << *status;
  EXPECT_EQ(errors, line + "\n");
  EXPECT_TRUE(WaitUntil([&] { return !RunLeftAProcess(home.Path()); }, kLimitMs)) << "a process of the run is left";
}

TEST(NoDisplay, NoneNamed) { ExpectEndsSaying({}, "no display: DISPLAY and WAYLAND_DISPLAY are unset"); }

TEST(NoDisplay, ADisplayNoServerAnswers) {
  const std::string display = FreeDisplay();
  ExpectEndsSaying({{"DISPLAY", display}}, "cannot open the display " + display);
}

// Named by hand, SDL's X driver with nothing to open: not the notice about the desktop's colours.
TEST(NoDisplay, TheXDriverForcedWithoutADisplay) {
  ExpectEndsSaying({{"VELK_BACKEND", "sdl"}, {"SDL_VIDEODRIVER", "x11"}},
                   "no display: DISPLAY and WAYLAND_DISPLAY are unset");
}

}  // namespace
}  // namespace E2e
