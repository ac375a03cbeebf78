// The idle pause against a real X server: one of the test's own (Xvfb), whose screen saver is set
// to start after 5 s without input, so the program pauses 3 s after the server last saw input.

#include "app/ChildProcess.h"
#include "app/XServerSettings.h"
#include "platform/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

namespace Velk::Testing {
namespace {

constexpr double kSlowdown = kChildSlowdown;

TEST(IdlePauseUnderX, AWindowPausesTwoSecondsBeforeTheServersScreenSaverIsDue) {
  if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";
  ScratchFolder scratch;
  // Without -noreset the server forgets the setting when the test's connection closes.
  ChildProcess xvfb({"/usr/bin/Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
                    {}, 3);
  const std::optional<std::string> number = xvfb.ReadLine(10000);
  ASSERT_TRUE(number) << "Xvfb did not start";
  const std::string name = ":" + *number;
  ASSERT_TRUE(SetScreenSaverTimeout(name, 5));
  const auto since = std::chrono::steady_clock::now();  // the server has had no input since it began

  ChildProcess child({VELK_CHILD_APP}, {{"XDG_CONFIG_HOME", scratch.Path()},
                                        {"XDG_DATA_HOME", scratch / "data"},
                                        {"XDG_RUNTIME_DIR", scratch.Path()},
                                        {"VELK_BACKEND", "sdl"},
                                        {"SDL_VIDEODRIVER", "x11"},
                                        {"SDL_AUDIODRIVER", "dummy"},
                                        {"DISPLAY", name}});
  ASSERT_TRUE(child.WaitForLine("running", static_cast<int>(10000 * kSlowdown)));
  ASSERT_TRUE(child.WaitForLine("idle paused", static_cast<int>(8000 * kSlowdown)));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
  EXPECT_GE(seconds, 3.0) << "paused before the threshold";
  // Found by the once-a-second check, so at most about a second late, and the server started a
  // little before `since`.
  EXPECT_LE(seconds, 3.0 + 2.0 * kSlowdown);

  kill(child.Pid(), SIGTERM);
  child.WaitForEnd(static_cast<int>(5000 * kSlowdown));
  kill(xvfb.Pid(), SIGTERM);
  xvfb.WaitForEnd(5000);
}

}  // namespace
}  // namespace Velk::Testing
