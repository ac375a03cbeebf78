// How the program ends when the world ends it: termination signals close it as its close box does,
// and a lost display ends it promptly. Either way its settings are written whole.

#include "app/ChildProcess.h"
#include "platform/ScratchFolder.h"
#include "platform/process/CloseSignals.h"

#include <gtest/gtest.h>

namespace Velk::Testing {
namespace {

// Well beyond what the program takes (its own bound after a lost display is 2 s), so that a loaded
// machine passes; stretched again for a sanitizer build. They find a program that hangs; a second
// signal that does not cut the slow shutdown (30 s) short shows in the status it ends with.
constexpr int kSlowdown = kChildSlowdown;
constexpr int kCloseLimitMs = 5000 * kSlowdown;
constexpr int kLostDisplayLimitMs = 7000 * kSlowdown;

constexpr const char* kValues[] = {"MusicVolume", "SfxVolume",     "Muted",      "ScreenMode",  "PreferredX",
                                   "PreferredY",  "CustomCursors", "InProgress", "WaitForVSync"};

class ProcessEndTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> ChildEnvironment(const std::string& backend) {
    return {{"XDG_CONFIG_HOME", scratch_.Path()},
            {"XDG_DATA_HOME", scratch_ / "data"},
            {"XDG_RUNTIME_DIR", scratch_.Path()},
            {"VELK_BACKEND", backend},
            {"SDL_AUDIODRIVER", "dummy"}};
  }
  std::string Settings() { return ReadWholeFile(scratch_ / "Velk Tests/Child/settings.ini"); }
  // Every value the program keeps, and the mark of a clean end.
  void ExpectCompleteSettings() {
    const std::string settings = Settings();
    for (const char* value : kValues) {
      EXPECT_NE(settings.find("\"" + std::string(value) + "\"=dword:"), std::string::npos) << value << "\n" << settings;
    }
    EXPECT_NE(settings.find("\"InProgress\"=dword:00000000"), std::string::npos) << settings;
  }

  ScratchFolder scratch_;
};

TEST_F(ProcessEndTest, TerminationSignalsCloseTheProgramAsItsCloseBoxDoes) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    std::filesystem::remove_all(scratch_ / "Velk Tests");
    ChildProcess child({VELK_CHILD_APP}, ChildEnvironment("headless"));
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << strsignal(signal);
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    std::optional<int> status = child.WaitForEnd(kCloseLimitMs);
    ASSERT_TRUE(status) << strsignal(signal) << ": still running after " << kCloseLimitMs << " ms";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << strsignal(signal) << ": status " << *status;
    ExpectCompleteSettings();
  }
}

// SIGTERM and SIGHUP together, as a service manager ends a session, are one request to close; a
// signal that comes later, while that close runs, is the user insisting.
TEST_F(ProcessEndTest, ASecondSignalDuringShutdownEndsAtOnce) {
  std::map<std::string, std::string> env = ChildEnvironment("headless");
  env["VELK_CHILD_SLOW_SHUTDOWN"] = "1";
  ChildProcess child({VELK_CHILD_APP}, env);
  ASSERT_TRUE(child.WaitForLine("running", 10000));
  ASSERT_EQ(kill(child.Pid(), SIGTERM), 0);
  ASSERT_EQ(kill(child.Pid(), SIGHUP), 0);
  ASSERT_TRUE(child.WaitForLine("closing", kCloseLimitMs)) << "ended by the pair";
  // The first signal was taken before "closing" was said: from now on, the next is a later one.
  std::this_thread::sleep_for(std::chrono::milliseconds(CloseSignals::kSameRequestMs));
  ASSERT_EQ(kill(child.Pid(), SIGTERM), 0);
  std::optional<int> status = child.WaitForEnd(kCloseLimitMs);
  ASSERT_TRUE(status) << "still running after the second signal";
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "status " << *status;
}

bool XvfbAvailable() { return access("/usr/bin/Xvfb", X_OK) == 0; }

// The sdl back end on an X server of the test's own (Xvfb on a display number of its choosing, told
// through a pipe): a signal closes the program there too, and losing the server ends it promptly.
TEST_F(ProcessEndTest, UnderXASignalClosesAndALostDisplayEndsPromptlyWithTheSettingsWritten) {
  if (!XvfbAvailable()) GTEST_SKIP() << "Xvfb is not installed";
  ChildProcess xvfb({"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"}, {}, 3);
  std::optional<std::string> display = xvfb.ReadLine(10000);
  ASSERT_TRUE(display) << "Xvfb did not start";
  std::map<std::string, std::string> env = ChildEnvironment("sdl");
  env["DISPLAY"] = ":" + *display;
  env["SDL_VIDEODRIVER"] = "x11";

  {
    ChildProcess child({VELK_CHILD_APP}, env);
    ASSERT_TRUE(child.WaitForLine("running", 10000));
    ASSERT_EQ(kill(child.Pid(), SIGTERM), 0);
    std::optional<int> status = child.WaitForEnd(kCloseLimitMs);
    ASSERT_TRUE(status) << "still running " << kCloseLimitMs << " ms after SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
    ExpectCompleteSettings();
  }

  std::filesystem::remove_all(scratch_ / "Velk Tests");
  ChildProcess child({VELK_CHILD_APP}, env);
  ASSERT_TRUE(child.WaitForLine("running", 10000));
  ASSERT_EQ(kill(xvfb.Pid(), SIGTERM), 0);
  ASSERT_TRUE(xvfb.WaitForEnd(5000));
  std::optional<int> status = child.WaitForEnd(kLostDisplayLimitMs);
  ASSERT_TRUE(status) << "still running " << kLostDisplayLimitMs << " ms after the display went away";
  EXPECT_FALSE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
  ExpectCompleteSettings();
}

}  // namespace
}  // namespace Velk::Testing
