// A termination signal while the program still starts: here while the notice about a damaged
// pref.dat waits for its answer, before the game has a window. The box goes, and the program closes
// as the same signal closes it in play: status 0, its settings written with the mark of a clean end.
// And a close request sent twice at once, as a service manager or a timeout sends it, closes the
// program as one does.

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <iterator>

#include "app/ChildProcess.h"
#include "e2e/FindProgram.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/PlayerUser.h"
#include "e2e/Polling.h"
#include "e2e/XvfbScreen.h"
#include "platform/ScratchFolder.h"

// After the program's own headers: Xlib's macros would change them.
#include <X11/Xlib.h>

namespace E2e {
namespace {

// Far above what the program takes, for a loaded machine and a sanitizer build.
constexpr int kLimitMs = 10000 * Velk::Testing::kChildSlowdown;

std::string SettingsIn(const std::filesystem::path& home) {
  std::ifstream settings(home / "config" / "Drimak Games" / "Pelune Cafe" / "settings.ini");
  return std::string(std::istreambuf_iterator<char>(settings), {});
}

// The top-level windows the bare screen shows.
int ShownWindows(Display* display) {
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  int shown = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) ++shown;
  }
  if (children) XFree(children);
  return shown;
}

TEST(StartupSignal, ASignalWhileAStartUpBoxWaitsClosesTheProgramAsInPlay) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  XvfbScreen screen(800, 600);
  ASSERT_EQ(screen.Failure(), "");
  ScratchFolder scratch;
  const std::filesystem::path home = scratch / "home";
  std::filesystem::create_directories(home / "data" / "Drimak Games" / "Pelune");
  std::ofstream(home / "data" / "Drimak Games" / "Pelune" / "pref.dat") << "not a preference file";
  Display* display = XOpenDisplay(screen.Name().c_str());
  ASSERT_NE(display, nullptr);
  PeluneOnScreen game(screen, home, false, {}, true);

  // Only the box shows: the game's own window would carry its process id.
  const bool box =
      WaitUntil([&] { return ShownWindows(display) == 1 && screen.WindowCount(game.Pid()) == 0; }, kLimitMs, 20);
  ASSERT_TRUE(box) << game.Errors();
  ASSERT_EQ(kill(game.Pid(), SIGTERM), 0);
  const std::optional<int> status = game.WaitForEnd(kLimitMs);
  ASSERT_TRUE(status) << "still running " << kLimitMs << " ms after SIGTERM\n" << game.ThreadStates();
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status << "\n" << game.Errors();
  EXPECT_TRUE(WaitUntil([&] { return ShownWindows(display) == 0; }, kLimitMs, 20)) << "the box stayed";
  XCloseDisplay(display);
  const std::string written = SettingsIn(home);
  EXPECT_NE(written.find("\"InProgress\"=dword:00000000"), std::string::npos) << written;
}

// A session's end: SIGTERM and SIGHUP together. Under a timeout: SIGTERM to the program, then to its
// process group (the timeout relays the signal it is sent, as it sends its own when the time is up).
TEST(StartupSignal, ACloseRequestSentTwiceAtOnceClosesTheProgramAsOneDoes) {
  const std::optional<std::string> timeout = FindProgram("timeout");
  PlayerUser player;
  for (const bool underTimeout : {false, true}) {
    if (underTimeout && !timeout) continue;
    SCOPED_TRACE(underTimeout ? "under a timeout" : "a session's end");
    const std::filesystem::path home = player.Folder() / (underTimeout ? "timeout" : "session");
    const std::vector<std::string> prefix =
        underTimeout ? std::vector<std::string>{*timeout, "1h"} : std::vector<std::string>{};
    const std::unique_ptr<Velk::Testing::ChildProcess> game = player.Launch(home, As::Test, prefix);
    const std::string loaded = PlayerUser::UntilLoaded(*game);
    ASSERT_NE(loaded.find("Resource Loading Time"), std::string::npos) << loaded;
    ASSERT_EQ(kill(game->Pid(), SIGTERM), 0);
    if (!underTimeout) ASSERT_EQ(kill(game->Pid(), SIGHUP), 0);
    PlayerUser::UntilEnd(*game);
    const std::string written = SettingsIn(home);
    EXPECT_NE(written.find("\"InProgress\"=dword:00000000"), std::string::npos) << written;
    EXPECT_NE(written.find("\"MusicVolume\"=dword:"), std::string::npos) << written;
  }
}

}  // namespace
}  // namespace E2e
