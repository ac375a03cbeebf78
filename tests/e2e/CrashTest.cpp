// The real program crashed on an X screen as a player would meet it: a fatal signal at a random
// moment (while it loads, at the menu, while day 1 runs), or raised on the main thread from within
// an X request. Each run shows the "Fatal Error!" window whole on the 800 x 600 screen, in
// place of the game's, with the report that crash.txt holds; "Close Now" (or the close box) closes
// it, the program ends by the signal, and pref.dat is whole. In CI one run per signal and
// five inside an X request; elsewhere ten per signal and twenty. Moved after it shows (on a bare
// screen or under openbox) or put in the middle of the screen by openbox, the window looks as where
// it was made and "Close Now" answers where it is drawn: in CI one run of each, elsewhere three. While
// a report is up, a new start over the same home runs, and SIGTERM ends the crashed program. Two
// threads faulting at once give one report window.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/syscall.h>

#include "app/ChildProcess.h"
#include "e2e/FindProgram.h"
#include "e2e/FrameGrid.h"
#include "e2e/GameRun.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/PlayerUser.h"
#include "e2e/Polling.h"
#include "e2e/PrefFile.h"
#include "e2e/XvfbScreen.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// Far beyond what the program takes on an idle machine: a loaded one stretches every step, and the
// tests check that the window comes and the process ends, not how fast.
constexpr int kWindowLimitMs = 15000 * kPhaseSlowdown;
constexpr int kEndLimitMs = 10000 * kPhaseSlowdown;
constexpr int kRunLimitMs = 60000 * kPhaseSlowdown;
// "Close Now" spans the bottom of the 400 x 300 client area: 8, 268, 384 x 24.
constexpr int kCloseX = 8 + 192;
constexpr int kCloseY = 268 + 12;

const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGABRT, SIGILL};

// Whether process `pid` has its own handler for `signal` (the kernel's mask of caught signals): a
// signal sent before that, while a loaded machine is still starting the program, is no crash the
// program can report.
bool Catches(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
  }
  return false;
}

// The program has moved to `folder`, where it works and where a report of its crash goes.
bool WorksIn(pid_t pid, const fs::path& folder) {
  std::error_code error;
  const fs::path cwd = fs::read_symlink("/proc/" + std::to_string(pid) + "/cwd", error);
  return !error && fs::equivalent(cwd, folder, error);
}

// When the signal lands: while the program loads, at its menu, while day 1 runs, or raised by its
// main thread inside an X request.
enum class Moment { kLoading, kMenu, kDay, kInsideX };

// Where the report window stands: where it was made, moved by the test after it shows (as a program,
// or a player dragging it, moves it) on a bare screen or under openbox, or put in the middle of the
// screen by openbox, as a rule of its configuration says.
enum class Placement { kMade, kMoved, kMovedUnderOpenbox, kCentredByOpenbox };

// How the crashed program ends: its report window closed, or, while the window is still up and a new
// start over the same home runs, by SIGTERM.
enum class Ending { kWindowClosed, kTerminated };

struct CrashCase {
  int signal;
  Moment moment;
  int run;
  Placement placement = Placement::kMade;
  Ending ending = Ending::kWindowClosed;
};

std::string CaseName(const testing::TestParamInfo<CrashCase>& info) {
  static const char* const kMoments[] = {"Loading", "Menu", "Day", "InsideX"};
  static const char* const kPlacements[] = {"", "Moved", "MovedOpenbox", "CentredOpenbox"};
  const CrashCase& c = info.param;
  return std::string(c.ending == Ending::kTerminated ? "Terminated" : "") + kPlacements[static_cast<int>(c.placement)] +
         kMoments[static_cast<int>(c.moment)] + "_SIG" + sigabbrev_np(c.signal) + "_" + std::to_string(c.run);
}

// CTest lists the case by its name rather than its bytes.
void PrintTo(const CrashCase& c, std::ostream* os) { *os << CaseName({c, 0}); }

// Each signal's runs take the three moments in turn, starting from a different one per signal, so
// that the short form of CI still meets each moment.
std::vector<CrashCase> Cases() {
  const bool ci = std::getenv("CI") != nullptr;
  const int perSignal = ci ? 1 : 10;
  const int insideX = ci ? 5 : 20;
  std::vector<CrashCase> cases;
  for (int i = 0; i < 5; ++i) {
    for (int run = 0; run < perSignal; ++run) cases.push_back({kSignals[i], static_cast<Moment>((i + run) % 3), run});
  }
  for (int run = 0; run < insideX; ++run) cases.push_back({kSignals[run % 5], Moment::kInsideX, run});
  for (int p = 1; p <= 3; ++p) {
    for (int run = 0; run < (ci ? 1 : 3); ++run)
      cases.push_back({kSignals[(p + run) % 5], Moment::kMenu, run, static_cast<Placement>(p)});
  }
  cases.push_back({SIGSEGV, Moment::kMenu, 0, Placement::kMade, Ending::kTerminated});
  return cases;
}

constexpr const char* kCentringRule = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <applications>
    <application title="Fatal Error!">
      <position force="yes"><x>center</x><y>center</y></position>
    </application>
  </applications>
</openbox_config>
)";

// The report's lines and its scroll bar differ from crash to crash: the rows of cells its box
// touches (7 to 20 of 24) are not compared; the message above it and the button below it are.
constexpr int kReportRows[] = {7, 20};
constexpr int kWindowTolerance = 16;

int DistanceFromMade(const Frame& picture, const FrameGrid& made) {
  const FrameGrid grid = FrameGrid::Reduce(picture);
  int worst = 0;
  for (int row = 0; row < FrameGrid::kRows; ++row) {
    if (row >= kReportRows[0] && row <= kReportRows[1]) continue;
    for (int column = 0; column < FrameGrid::kColumns; ++column)
      worst = std::max(worst, Frame::ChannelDistance(grid.Cell(column, row), made.Cell(column, row)));
  }
  return worst;
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

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Day 1 played by the playthrough's phase in a real window, with the program's crash catcher.
class DayRun {
 public:
  DayRun(const XvfbScreen& screen, const std::string& name, std::map<std::string, std::string> env)
      : screen_(screen), run_(name) {
    PhaseOptions options;
    options.display = screen.Name();
    options.env = std::move(env);
    options.env["E2E_CRASH_CATCHER"] = "1";
    options.errorsFile = run_.OutFolder() / "errors.txt";
    process_ = run_.Start("first_note", options);
  }

  bool WaitForTheDay(int limitMs) { return process_->WaitForLine("step ok day 1 running", limitMs); }
  pid_t Pid() const { return process_->Pid(); }
  std::optional<ScreenRect> Window() const { return screen_.WindowOf(Pid()); }
  std::string Errors() const { return ReadBytes(run_.OutFolder() / "errors.txt"); }
  std::optional<int> WaitForEnd(int limitMs) { return process_->WaitForEnd(limitMs); }
  fs::path ProgramFolder() const { return run_.ProgramFolder(); }
  fs::path PrefPath() const { return run_.PrefPath(); }

 private:
  const XvfbScreen& screen_;
  GameRun run_;
  std::unique_ptr<Velk::Testing::ChildProcess> process_;
};

class CrashTest : public testing::TestWithParam<CrashCase> {
 protected:
  void SetUp() override {
    const Placement placement = GetParam().placement;
    const bool openbox = placement == Placement::kMovedUnderOpenbox || placement == Placement::kCentredByOpenbox;
    if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    if (openbox && !FindProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    std::vector<std::string> managerArgs;
    if (placement == Placement::kCentredByOpenbox) {
      const fs::path rules = fs::path(E2E_OUTPUT_DIR) / "Crash" / (Name() + "_rc.xml");
      fs::create_directories(rules.parent_path());
      std::ofstream(rules) << kCentringRule;
      managerArgs = {"--config-file", rules.string()};
    }
    screen_ = std::make_unique<XvfbScreen>(kScreenWidth, kScreenHeight, openbox ? "openbox" : "", managerArgs);
    ASSERT_EQ(screen_->Failure(), "");
  }

  std::string Name() const { return CaseName({GetParam(), 0}); }
  fs::path Home() const { return fs::path(E2E_OUTPUT_DIR) / "Crash" / Name(); }
  // The program and its archives in a folder of this run's own: the program works there, and its
  // crash.txt lands there.
  fs::path ProgramFolder() const {
    const fs::path folder = fs::path(E2E_OUTPUT_DIR) / "Crash" / (Name() + "_program");
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* file : {"pelune", "loc.pak", "data.pak"}) {
      std::error_code error;
      fs::create_hard_link(fs::path(PELUNE_RUNTIME_DIR) / file, folder / file, error);
      if (error) fs::copy_file(fs::path(PELUNE_RUNTIME_DIR) / file, folder / file);
    }
    return folder;
  }
  std::map<std::string, std::string> Environment() const {
    std::map<std::string, std::string> env{{"VELK_CRASH_WINDOW_TEXT", (Home() / "shown.txt").string()}};
    if (GetParam().moment == Moment::kInsideX) env["VELK_TEST_FAULT_IN_X"] = std::to_string(GetParam().signal);
    return env;
  }

  // From the signal on: the report window whole on the screen within its limit, in place of the
  // game's, showing crash.txt's first line; closed, it ends the program by the signal, and pref.dat
  // is whole.
  template <class Game>
  void ExpectTheReportAndTheEnd(Game& game, const fs::path& program, const fs::path& prefPath) {
    const CrashCase& c = GetParam();
    const bool knownMoment = c.moment != Moment::kInsideX;
    pid_t reporter = 0;
    std::optional<ScreenRect> window;
    const bool shown = WaitUntil(
        [&] {
          reporter = reporter ? reporter : ReporterOf(game.Pid());
          window = reporter ? screen_->WindowOf(reporter) : std::nullopt;
          return window && window->width == 400 && window->height == 300;
        },
        knownMoment ? kWindowLimitMs : kRunLimitMs, kPollMs);
    ASSERT_TRUE(shown) << "no report window; the program said:\n" << game.Errors();
    EXPECT_TRUE(window->x >= 0 && window->y >= 0 && window->x + window->width <= kScreenWidth &&
                window->y + window->height <= kScreenHeight)
        << "at " << window->x << ", " << window->y;
    EXPECT_FALSE(game.Window().has_value()) << "the game's window still shows";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(Home() / "shown.txt"); }, kWindowLimitMs, kPollMs));
    const std::string first = FirstLine(program / "crash.txt");
    EXPECT_EQ(first.rfind(c.signal == SIGABRT ? "Unknown exception: " : "Exception: ", 0), 0u) << first;
    EXPECT_EQ(FirstLine(Home() / "shown.txt"), first);
    if (c.placement != Placement::kMade) ExpectItLooksAsWhereItWasMade(reporter, window);
    if (c.ending == Ending::kTerminated) {
      ExpectANewStartToRunAndSIGTERMToEnd(game, reporter);
    } else {
      ExpectClosingTheWindowToEnd(game, reporter, *window);
    }

    const PrefFile pref(prefPath);
    if (pref.Exists()) {
      EXPECT_EQ(pref.Version(), PrefFile::kVersion);
      EXPECT_TRUE(pref.Size() >= PrefFile::kProfilesOffset &&
                  (pref.Size() - PrefFile::kProfilesOffset) % PrefFile::kProfileSize == 0)
          << pref.Size() << " bytes";
    }
  }

  // Closed by its button or its close box, the window ends the program by the signal it reports.
  template <class Game>
  void ExpectClosingTheWindowToEnd(Game& game, pid_t reporter, const ScreenRect& window) {
    const CrashCase& c = GetParam();
    if (c.run % 3 == 2 && c.placement == Placement::kMade) {
      ASSERT_TRUE(screen_->AskToClose(reporter));
    } else {
      screen_->Click(window.x + kCloseX, window.y + kCloseY);
    }
    std::optional<int> status = game.WaitForEnd(kEndLimitMs);
    if (!status) screen_->Grab().WritePng((Home() / "still_up.png").string());
    ASSERT_TRUE(status) << "still running after the window closed; the screen is in " << (Home() / "still_up.png");
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal) << "status " << *status;
  }

  // While the report is up, the crashed program holds nothing of the player's: a new start over the
  // same home (the same session, headless) loads and plays rather than being sent away. SIGTERM then
  // ends the crashed program, and its report window goes with it.
  template <class Game>
  void ExpectANewStartToRunAndSIGTERMToEnd(Game& game, pid_t reporter) {
    const std::string said = PlayerUser().StartAndStop(Home());
    EXPECT_NE(said.find("Resource Loading Time"), std::string::npos) << said;
    EXPECT_EQ(said.find("already running"), std::string::npos) << said;
    ASSERT_EQ(kill(game.Pid(), SIGTERM), 0);
    const std::optional<int> status = game.WaitForEnd(kEndLimitMs);
    ASSERT_TRUE(status) << "a crashed program that shows its report did not end on SIGTERM";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "status " << *status;
    EXPECT_TRUE(WaitUntil([&] { return !screen_->WindowOf(reporter); }, kWindowLimitMs, kPollMs))
        << "the report window outlived its program";
  }

  // Moved and then drawn again whole (the server carries the old pixels along with a move), or put
  // in the middle by openbox and looked at as first drawn: it looks as where it was made.
  void ExpectItLooksAsWhereItWasMade(pid_t reporter, std::optional<ScreenRect>& window) {
    if (GetParam().placement == Placement::kCentredByOpenbox) {
      EXPECT_NEAR(window->x + window->width / 2, kScreenWidth / 2, 16) << "not centred";
      EXPECT_NEAR(window->y + window->height / 2, kScreenHeight / 2, 16) << "not centred";
    } else {
      const ScreenRect made = *window;
      ASSERT_TRUE(screen_->MoveWindowOf(reporter, 330, 250));
      ASSERT_TRUE(WaitUntil(
          [&] {
            window = screen_->WindowOf(reporter);
            return window && (window->x != made.x || window->y != made.y);
          },
          kWindowLimitMs, kPollMs));
      ASSERT_TRUE(screen_->ExposeWindowOf(reporter));
    }
    const std::optional<FrameGrid> golden = FrameGrid::Golden("crash_window");
    ASSERT_TRUE(golden) << "no golden crash_window";
    Frame picture;
    const bool looks = WaitUntil(
        [&] {
          picture = screen_->Grab(*window);
          return DistanceFromMade(picture, *golden) <= kWindowTolerance;
        },
        kWindowLimitMs, kPollMs);
    if (!looks) picture.WritePng((Home() / "window.png").string());
    EXPECT_TRUE(looks) << "differs by " << DistanceFromMade(picture, *golden) << "; see " << (Home() / "window.png");
  }

  std::unique_ptr<XvfbScreen> screen_;
};

TEST_P(CrashTest, TheReportWindowShowsWholeAndClosingItEndsTheProgramByTheSignal) {
  const CrashCase& c = GetParam();
  std::srand(static_cast<unsigned>(c.signal * 100 + c.run));
  if (c.moment == Moment::kDay) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP()
        << "day 1 in a real window is minutes away under the thread sanitizer; the other builds crash it there";
#endif
    fs::remove_all(Home());  // a report window text of an earlier run must not pass for this one's
    fs::create_directories(Home());
    DayRun day(*screen_, "Crash/" + Name() + "_day", Environment());
    ASSERT_TRUE(day.WaitForTheDay(kRunLimitMs)) << day.Errors();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::rand() % 1000));
    // To the main thread, which plays the day: the phase's steps stop with it.
    ASSERT_EQ(syscall(SYS_tgkill, day.Pid(), day.Pid(), c.signal), 0);
    ExpectTheReportAndTheEnd(day, day.ProgramFolder(), day.PrefPath());
  } else {
    const fs::path program = ProgramFolder();
    PeluneOnScreen game(*screen_, Home(), false, Environment(), false, program);
    // The moment: while it loads, or at the menu a little after its window shows.
    if (c.moment == Moment::kLoading) {
      // Loading begins in the program's own folder; a loaded machine may still find it starting up
      // 200 ms after it catches the signals.
      ASSERT_TRUE(
          WaitUntil([&] { return Catches(game.Pid(), c.signal) && WorksIn(game.Pid(), program); }, kRunLimitMs, 10))
          << game.Errors();
      std::this_thread::sleep_for(std::chrono::milliseconds(200 + std::rand() % 1200));
    } else if (c.moment == Moment::kMenu) {
      ASSERT_TRUE(WaitUntil([&] { return game.Window().has_value(); }, kRunLimitMs, kPollMs)) << game.Errors();
      std::this_thread::sleep_for(std::chrono::milliseconds(std::rand() % 2000));
    }
    if (c.moment != Moment::kInsideX) {
      ASSERT_EQ(kill(game.Pid(), c.signal), 0);
    }
    ExpectTheReportAndTheEnd(game, program, Home() / "data" / "Drimak Games" / "Pelune" / "pref.dat");
  }
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashTest, testing::ValuesIn(Cases()), CaseName);

// Two threads of a bare application faulting at the same moment on an X screen: one report window,
// which stays the only one, and closing it ends the process by the signal its report names.
TEST(TwoFaults, OneReportWindowAndTheFirstSignalEnds) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  const XvfbScreen screen(kScreenWidth, kScreenHeight);
  ASSERT_EQ(screen.Failure(), "");
  const fs::path folder = fs::path(E2E_OUTPUT_DIR) / "Crash" / "TwoFaults";
  fs::remove_all(folder);
  fs::create_directories(folder / "run");
  fs::permissions(folder / "run", fs::perms::owner_all);
  Velk::Testing::ChildProcess child({VELK_CHILD_APP},
                                    {{"DISPLAY", screen.Name()},
                                     {"VELK_BACKEND", "sdl"},
                                     {"SDL_VIDEODRIVER", "x11"},
                                     {"SDL_AUDIODRIVER", "dummy"},
                                     {"XDG_CONFIG_HOME", folder.string()},
                                     {"XDG_DATA_HOME", folder.string()},
                                     {"XDG_RUNTIME_DIR", (folder / "run").string()},
                                     {"VELK_CHILD_TWO_FAULTS", "1"}},
                                    1, folder.string());
  ASSERT_TRUE(child.WaitForLine("running", kRunLimitMs));
  pid_t reporter = 0;
  std::optional<ScreenRect> window;
  ASSERT_TRUE(WaitUntil(
      [&] {
        reporter = reporter ? reporter : ReporterOf(child.Pid());
        window = reporter ? screen.WindowOf(reporter) : std::nullopt;
        return window && window->width == 400 && window->height == 300;
      },
      kWindowLimitMs, kPollMs));
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // time for a second window, were there one
  EXPECT_EQ(screen.WindowCount(reporter), 1);
  screen.Click(window->x + kCloseX, window->y + kCloseY);
  const std::optional<int> status = child.WaitForEnd(kEndLimitMs);
  ASSERT_TRUE(status) << "still running after the window closed";
  const std::string first = FirstLine(folder / "crash.txt");
  const int signal = first.rfind("Exception: Access Violation", 0) == 0 ? SIGSEGV : SIGILL;
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << "status " << *status << "\n" << first;
}

}  // namespace
}  // namespace E2e
