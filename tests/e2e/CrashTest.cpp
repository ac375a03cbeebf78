// The real program crashed on an X screen as a player would meet it: a fatal signal at a random
// moment (while it loads, at the menu), or raised on the main thread from within an X request. Each
// run shows the "Fatal Error!" window whole on the 800 x 600 screen within 3 s, in place of the
// game's, with the report that crash.txt holds; "Close Now" (or the close box) closes it, the program
// ends by the signal within 2 s, and pref.dat is whole. In CI one run per signal and five inside an
// X request; elsewhere ten per signal and twenty.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "e2e/FindProgram.h"
#include "e2e/GameRun.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/Polling.h"
#include "e2e/PrefFile.h"
#include "e2e/XvfbScreen.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kWindowLimitMs = 3000 * kPhaseSlowdown;
constexpr int kEndLimitMs = 2000 * kPhaseSlowdown;
constexpr int kRunLimitMs = 30000 * kPhaseSlowdown;
// "Close Now" spans the bottom of the 400 x 300 client area: 8, 268, 384 x 24.
constexpr int kCloseX = 8 + 192;
constexpr int kCloseY = 268 + 12;

const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGABRT, SIGILL};

struct CrashCase {
  int signal;
  bool insideX;  // raised by the program's main thread inside an X request
  int run;
};

std::string CaseName(const testing::TestParamInfo<CrashCase>& info) {
  const CrashCase& c = info.param;
  std::string name = sigabbrev_np(c.signal);
  return (c.insideX ? "InsideX_SIG" : "SIG") + name + "_" + std::to_string(c.run);
}

std::vector<CrashCase> Cases() {
  const bool ci = std::getenv("CI") != nullptr;
  const int perSignal = ci ? 1 : 10;
  const int insideX = ci ? 5 : 20;
  std::vector<CrashCase> cases;
  for (int signal : kSignals) {
    for (int run = 0; run < perSignal; ++run) cases.push_back({signal, false, run});
  }
  for (int run = 0; run < insideX; ++run) cases.push_back({kSignals[run % 5], true, run});
  return cases;
}

constexpr int kPollMs = 20;

std::string FirstLine(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The crash reporter: the program's child process.
pid_t ReporterOf(pid_t program) {
  std::ifstream children("/proc/" + std::to_string(program) + "/task/" + std::to_string(program) + "/children");
  pid_t reporter = 0;
  children >> reporter;
  return reporter;
}

class CrashTest : public testing::TestWithParam<CrashCase> {
 protected:
  void SetUp() override {
    if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    screen_ = std::make_unique<XvfbScreen>(kScreenWidth, kScreenHeight);
    ASSERT_EQ(screen_->Failure(), "");
  }

  fs::path Home() const { return fs::path(E2E_OUTPUT_DIR) / "Crash" / CaseName({GetParam(), 0}); }
  // The program and its archives in a folder of this run's own: the program works there, and its
  // crash.txt lands there.
  fs::path ProgramFolder() const {
    const fs::path folder = fs::path(E2E_OUTPUT_DIR) / "Crash" / (CaseName({GetParam(), 0}) + "_program");
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* file : {"pelune", "loc.pak", "data.pak"}) {
      std::error_code error;
      fs::create_hard_link(fs::path(PELUNE_RUNTIME_DIR) / file, folder / file, error);
      if (error) fs::copy_file(fs::path(PELUNE_RUNTIME_DIR) / file, folder / file);
    }
    return folder;
  }

  std::unique_ptr<XvfbScreen> screen_;
};

TEST_P(CrashTest, TheReportWindowShowsWholeAndClosingItEndsTheProgramByTheSignal) {
  const CrashCase& c = GetParam();
  const auto started = std::chrono::steady_clock::now();
  std::map<std::string, std::string> env{{"VELK_CRASH_WINDOW_TEXT", (Home() / "shown.txt").string()}};
  if (c.insideX) env["VELK_TEST_FAULT_IN_X"] = std::to_string(c.signal);
  const fs::path program = ProgramFolder();
  PeluneOnScreen game(*screen_, Home(), false, env, false, program);
  // The moment: while it loads, or at the menu a little after its window shows.
  std::srand(static_cast<unsigned>(c.signal * 100 + c.run));
  if (!c.insideX) {
    if (c.run % 2 == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200 + std::rand() % 1200));
    } else {
      ASSERT_TRUE(WaitUntil([&] { return game.Window().has_value(); }, kRunLimitMs, kPollMs)) << game.Errors();
      std::this_thread::sleep_for(std::chrono::milliseconds(std::rand() % 2000));
    }
    ASSERT_EQ(kill(game.Pid(), c.signal), 0);
  }
  const auto crashed = std::chrono::steady_clock::now();
  pid_t reporter = 0;
  std::optional<ScreenRect> window;
  const bool shown = WaitUntil(
      [&] {
        reporter = reporter ? reporter : ReporterOf(game.Pid());
        window = reporter ? screen_->WindowOf(reporter) : std::nullopt;
        return window && window->width == 400 && window->height == 300;
      },
      c.insideX ? kRunLimitMs : kWindowLimitMs, kPollMs);
  ASSERT_TRUE(shown) << "no report window; the program said:\n" << game.Errors();
  if (!c.insideX) {
    EXPECT_LT(std::chrono::steady_clock::now() - crashed, std::chrono::milliseconds(kWindowLimitMs));
  }
  EXPECT_TRUE(window->x >= 0 && window->y >= 0 && window->x + window->width <= kScreenWidth &&
              window->y + window->height <= kScreenHeight)
      << "at " << window->x << ", " << window->y;
  EXPECT_FALSE(game.Window().has_value()) << "the game's window still shows";
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(Home() / "shown.txt"); }, kWindowLimitMs, kPollMs));
  const std::string first = FirstLine(program / "crash.txt");
  EXPECT_EQ(first.rfind(c.signal == SIGABRT ? "Unknown exception: " : "Exception: ", 0), 0u) << first;
  EXPECT_EQ(FirstLine(Home() / "shown.txt"), first);

  if (c.run % 3 == 2) {
    ASSERT_TRUE(screen_->AskToClose(reporter));
  } else {
    screen_->Click(window->x + kCloseX, window->y + kCloseY);
  }
  const auto closed = std::chrono::steady_clock::now();
  std::optional<int> status = game.WaitForEnd(kEndLimitMs);
  if (!status) screen_->Grab().WritePng((Home() / "still_up.png").string());
  ASSERT_TRUE(status) << "still running 2 s after the window closed; the screen is in " << (Home() / "still_up.png");
  EXPECT_LT(std::chrono::steady_clock::now() - closed, std::chrono::milliseconds(kEndLimitMs));
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal) << "status " << *status;

  const PrefFile pref(Home() / "data" / "Drimak Games" / "Pelune" / "pref.dat");
  if (pref.Exists()) {
    EXPECT_EQ(pref.Version(), PrefFile::kVersion);
    EXPECT_TRUE(pref.Size() >= PrefFile::kProfilesOffset &&
                (pref.Size() - PrefFile::kProfilesOffset) % PrefFile::kProfileSize == 0)
        << pref.Size() << " bytes";
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(kRunLimitMs));
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashTest, testing::ValuesIn(Cases()), CaseName);

}  // namespace
}  // namespace E2e
