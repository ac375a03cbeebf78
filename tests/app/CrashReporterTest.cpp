// A crash as the program ends on it without a display: the handler hands the fault to the reporter
// process, the report lands in crash.txt in the program's current folder with the application's
// part, and the process ends by the signal quickly. Two threads faulting together give one report.
// A reporter that cannot run, a map file that cannot be read, a display that is not there, or a
// report that cannot be written never keeps the process alive.

#include "app/ChildProcess.h"
#include "app/DemoFile.h"
#include "app/LinkerMap.h"
#include "platform/crash/FatalSignals.h"
#include "platform/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace Velk::Testing {
namespace {

// The program's bounds are real time: the crash thread's budget for crash.txt, the main thread's
// half second to stop before the recording is saved. A loaded machine stretches every step of the
// end, so the tests wait far longer than those bounds and check what they do, never how fast.
constexpr int kEndLimitMs = 10000 * kChildSlowdown;
constexpr int kMainThreadStopMs = kCrashThreadWaitMs / 3;
// A case whose file is missing (crash.txt, the recording) runs again, up to this many times, only
// when the child's ticks show that the machine held it from running for half of the bound or more.
constexpr int kRunsOnALoadedMachine = 3;
constexpr int64_t kTickMs = 20;  // VELK_CHILD_TICKS's period
// Below every crash report's size, above what the child says on its error output before the report.
constexpr int kReportLimitBytes = 384;

// The monotonic clock of the child's ticks.
int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// How long, from `fromMs` to the child's end, the machine held the child from running: what its
// ticker lost beyond its period, the time after its last tick included.
int64_t HeldMs(ChildProcess& child, int64_t fromMs) {
  const int64_t ended = NowMs();
  int64_t last = fromMs, held = 0;
  while (std::optional<std::string> line = child.ReadLine(100)) {
    if (line->rfind("tick ", 0) != 0) continue;
    const int64_t tick = std::stoll(line->substr(5));
    if (tick <= fromMs) continue;
    held += std::max<int64_t>(0, tick - last - kTickMs);
    last = tick;
  }
  return held + std::max<int64_t>(0, ended - last - kTickMs);
}

// Whether run `run` of a case that left no `missing` runs again: only when the machine held the
// ended child for half of the program's `boundMs` or more from `fromMs`. Says why either way.
bool RunsAgain(ChildProcess& child, int64_t fromMs, int boundMs, const std::string& missing, int run) {
  const int64_t held = HeldMs(child, fromMs);
  const bool again = held * 2 >= boundMs && run < kRunsOnALoadedMachine;
  std::fprintf(stderr, "run %d left no %s; the machine held the program %lld ms of its %d-ms bound: %s\n", run,
               missing.c_str(), static_cast<long long>(held), boundMs, again ? "running it again" : "no retry");
  return again;
}

class CrashReporterTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> Environment() {
    return {{"XDG_CONFIG_HOME", scratch_.Path()},
            {"XDG_DATA_HOME", scratch_ / "data"},
            {"XDG_RUNTIME_DIR", scratch_.Path()},
            {"VELK_BACKEND", "headless"},
            {"SDL_AUDIODRIVER", "dummy"}};
  }
  std::string Report() { return ReadWholeFile(scratch_ / "crash.txt"); }

  ScratchFolder scratch_;
};

// The crash reporter: the child's own child process, forked as it starts.
pid_t ReporterOf(pid_t program) {
  std::ifstream children("/proc/" + std::to_string(program) + "/task/" + std::to_string(program) + "/children");
  pid_t reporter = 0;
  children >> reporter;
  return reporter;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(CrashReporterTest, HeadlessTheReportIsWrittenAndTheSignalEndsTheProgramAtOnce) {
  const std::pair<int, const char*> kCases[] = {{SIGSEGV, "Access Violation"},
                                                {SIGBUS, "In Page Error"},
                                                {SIGFPE, "Float Invalid Operation"},
                                                {SIGILL, "Illegal Instruction"},
                                                {SIGABRT, nullptr}};
  for (const auto& [signal, name] : kCases) {
    std::filesystem::remove(scratch_ / "crash.txt");
    const std::string errors = scratch_ / "errors.txt";
    ChildProcess child({VELK_CHILD_APP}, Environment(), 1, scratch_.Path(), errors);
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << strsignal(signal);
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    std::optional<int> status = child.WaitForEnd(kEndLimitMs);
    ASSERT_TRUE(status) << strsignal(signal) << ": still running";
    // At once: the reporter took the fault, the process did not wait out the reporter's watchdog.
    EXPECT_EQ(Count(ReadWholeFile(errors), "did not answer"), 0u) << strsignal(signal) << "\n" << ReadWholeFile(errors);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << strsignal(signal) << ": status " << *status;
    const std::string report = Report();
    const std::string first = name ? std::string("Exception: ") + name : "Unknown exception: (code 0x40000015)";
    EXPECT_EQ(report.rfind(first, 0), 0u) << report;
    EXPECT_NE(report.find("\r\nProduct: VelkChild\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nDDraw Ver: "), std::string::npos) << report;
  }
}

TEST_F(CrashReporterTest, TwoThreadsFaultingTogetherGiveOneReportAndTheFirstSignalEnds) {
  std::map<std::string, std::string> env = Environment();
  env["VELK_CHILD_TWO_FAULTS"] = "1";
  ChildProcess child({VELK_CHILD_APP}, env, 1, scratch_.Path());
  ASSERT_TRUE(child.WaitForLine("running", 10000));
  std::optional<int> status = child.WaitForEnd(10000 * kChildSlowdown);
  ASSERT_TRUE(status) << "still running";
  ASSERT_TRUE(WIFSIGNALED(*status)) << "status " << *status;
  const std::string report = Report();
  EXPECT_EQ(Count(report, "Exception: "), 1u) << report;
  const bool segv = report.rfind("Exception: Access Violation", 0) == 0;
  const bool ill = report.rfind("Exception: Illegal Instruction", 0) == 0;
  EXPECT_TRUE(segv || ill) << report;
  EXPECT_EQ(WTERMSIG(*status), segv ? SIGSEGV : SIGILL) << report;
}

// The recording is saved with the report once the main thread has stopped at its loop. A main thread
// held elsewhere may still be writing it, so then it is left unsaved rather than read half-written.
TEST_F(CrashReporterTest, TheRecordingIsSavedOnlyOnceTheMainThreadHasStopped) {
  for (const std::string fault : {"VELK_CHILD_TWO_FAULTS", "VELK_CHILD_FAULT_WHILE_HELD"}) {
    const std::string demo = scratch_ / "velkapp.dmo";
    // A loaded machine may hold the main thread past its half second to stop.
    for (int run = 1;; ++run) {
      std::filesystem::remove(demo);
      std::map<std::string, std::string> env = Environment();
      env[fault] = "1";
      env["VELK_CHILD_RECORD"] = env["VELK_CHILD_TICKS"] = "1";
      ChildProcess child({VELK_CHILD_APP}, env, 1, scratch_.Path());
      ASSERT_TRUE(child.WaitForLine("running", 10000)) << fault;
      const int64_t faulted = NowMs();
      std::optional<int> status = child.WaitForEnd(kEndLimitMs);
      ASSERT_TRUE(status && WIFSIGNALED(*status)) << fault;
      if (fault == "VELK_CHILD_FAULT_WHILE_HELD" || std::filesystem::exists(demo) ||
          !RunsAgain(child, faulted, kMainThreadStopMs, "recording", run))
        break;
    }
    EXPECT_NE(Report().find("\r\nProduct: VelkChild\r\n"), std::string::npos) << fault << "\n" << Report();
    if (fault == "VELK_CHILD_FAULT_WHILE_HELD") {
      EXPECT_FALSE(std::filesystem::exists(demo)) << "saved while the main thread ran on";
      continue;
    }
    DemoFile saved;
    Buffer events;
    std::string error;
    EXPECT_TRUE(saved.Load(demo, "", events, error)) << error;
  }
}

// A reporter killed while the program runs is reaped at once. A stopped one never takes the fault:
// after its watchdog, as at once after a killed one, the program's crash thread writes crash.txt
// itself and says so, and the signal ends the process.
TEST_F(CrashReporterTest, WithoutAReporterTheProgramWritesTheReportAndTheSignalStillEndsIt) {
  for (const int stop : {SIGSTOP, SIGKILL}) {
    const std::string errors = scratch_ / "errors.txt";
    // A loaded machine may hold the crash thread past its budget: the signal then ends the process
    // without crash.txt, as it must.
    for (int run = 1;; ++run) {
      std::filesystem::remove(scratch_ / "crash.txt");
      std::map<std::string, std::string> env = Environment();
      env["VELK_CHILD_TICKS"] = "1";
      ChildProcess child({VELK_CHILD_APP}, env, 1, scratch_.Path(), errors);
      ASSERT_TRUE(child.WaitForLine("running", 10000)) << strsignal(stop);
      const pid_t reporter = ReporterOf(child.Pid());
      ASSERT_GT(reporter, 0);
      ASSERT_EQ(kill(reporter, stop), 0);
      if (stop == SIGKILL) {
        const std::string entry = "/proc/" + std::to_string(reporter);
        for (int waited = 0; std::filesystem::exists(entry) && waited < kEndLimitMs; waited += 10)
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(std::filesystem::exists(entry)) << "the reporter is left a zombie";
      }
      const int64_t sent = NowMs();
      ASSERT_EQ(kill(child.Pid(), SIGSEGV), 0);
      std::optional<int> status = child.WaitForEnd(stop == SIGSTOP ? kReporterWatchdogMs + kEndLimitMs : kEndLimitMs);
      ASSERT_TRUE(status) << "reporter " << strsignal(stop) << ": still running";
      // A stopped reporter is waited for to the end of its watchdog, however loaded the machine.
      if (stop == SIGSTOP) EXPECT_GE(NowMs() - sent, kReporterWatchdogMs);
      EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << "status " << *status;
      // The crash thread's budget runs from the end of the reporter's watchdog.
      const int64_t budgetFrom = stop == SIGSTOP ? sent + kReporterWatchdogMs : sent;
      if (!Report().empty() || !RunsAgain(child, budgetFrom, kCrashThreadWaitMs, "crash.txt", run)) break;
    }
    EXPECT_EQ(Report().rfind("Exception: Access Violation", 0), 0u) << strsignal(stop) << "\n" << Report();
    EXPECT_NE(Report().find("\r\nProduct: VelkChild\r\n"), std::string::npos) << Report();
    EXPECT_EQ(Count(ReadWholeFile(errors), "The crash reporter did not answer"), 1u) << ReadWholeFile(errors);
    std::filesystem::remove(scratch_ / "crash.txt");
  }
}

// Nothing keeps a crash from ending: not a map file that is a pipe, a link to an endless device or
// larger than a map can be (passed over, as the error output says once: the addresses stay
// logical), nor the sdl back end forced without an X display, on SDL's offscreen driver (which SDL
// falls back to) or its dummy one, where no one could answer a window.
TEST_F(CrashReporterTest, NeitherAnUnreadableMapNorAMissingDisplayKeepsACrashFromEnding) {
  struct Case {
    const char* map;
    void (*make)(const std::string& path);
    const char* videoDriver;  // empty: as when none is set
  };
  const Case kCases[] = {
      {"notes.map", [](const std::string& path) { mkfifo(path.c_str(), 0600); }, nullptr},
      {"z.map", [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }, nullptr},
      {"big.map",
       [](const std::string& path) {
         std::ofstream{path};
         std::filesystem::resize_file(path, LinkerMap::kMaxMapBytes + 1);
       },
       nullptr},
      {nullptr, nullptr, ""},
      {nullptr, nullptr, "dummy"},
  };
  for (const Case& c : kCases) {
    std::map<std::string, std::string> env = Environment();
    if (c.map) c.make(scratch_ / c.map);
    if (c.videoDriver) {
      env["VELK_BACKEND"] = "sdl";
      env["SDL_VIDEODRIVER"] = c.videoDriver;
      env["DISPLAY"] = env["WAYLAND_DISPLAY"] = "";
    }
    const std::string what = c.map ? c.map : std::string("video driver '") + c.videoDriver + "'";
    std::filesystem::remove(scratch_ / "crash.txt");
    const std::string errors = scratch_ / "errors.txt";
    ChildProcess child({VELK_CHILD_APP}, env, 1, scratch_.Path(), errors);
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << what;
    ASSERT_EQ(kill(child.Pid(), SIGSEGV), 0);
    std::optional<int> status = child.WaitForEnd(kEndLimitMs);
    EXPECT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << what << ": not ended by the signal";
    EXPECT_TRUE(std::regex_search(Report(), std::regex("\r\nLogical Address: [0-9A-F]{4}:[0-9A-F]{8}\r\n")))
        << what << "\n"
        << Report();
    if (c.map) {
      EXPECT_EQ(Count(ReadWholeFile(errors), c.map), 1u) << ReadWholeFile(errors);
      std::filesystem::remove(scratch_ / c.map);
    }
  }
}

// A report that cannot be written, for a folder in crash.txt's place or a file-size limit below the
// report's size: the report is lost, nothing of it is left behind, and the signal still ends the
// program. The reporter, forked before the program's start ignores SIGXFSZ, meets the limit as a
// failed write of its own, not as its end.
TEST_F(CrashReporterTest, AReportThatCannotBeWrittenStillEndsTheProgramByTheSignal) {
  for (const bool limited : {false, true}) {
    const char* what = limited ? "a file-size limit" : "a folder in its place";
    std::vector<std::string> argv = {VELK_CHILD_APP};
    if (limited)
      argv.insert(argv.begin(), {"/usr/bin/prlimit", "--fsize=" + std::to_string(kReportLimitBytes)});
    else
      std::filesystem::create_directory(scratch_ / "crash.txt");
    const std::string errors = scratch_ / "errors.txt";
    ChildProcess child(argv, Environment(), 1, scratch_.Path(), errors);
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << what;
    ASSERT_EQ(kill(child.Pid(), SIGSEGV), 0);
    std::optional<int> status = child.WaitForEnd(kEndLimitMs);
    ASSERT_TRUE(status) << what << ": still running";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << what << ": status " << *status;
    EXPECT_EQ(Count(ReadWholeFile(errors), "could not be written"), 1u) << what << "\n" << ReadWholeFile(errors);
    EXPECT_EQ(Count(ReadWholeFile(errors), "did not answer"), 0u) << what << "\n" << ReadWholeFile(errors);
    if (limited)
      EXPECT_FALSE(std::filesystem::exists(scratch_ / "crash.txt"));
    else
      EXPECT_TRUE(std::filesystem::is_empty(scratch_ / "crash.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.Path()))
      EXPECT_NE(entry.path().extension(), ".tmp") << what << ": " << entry.path();
    std::filesystem::remove(scratch_ / "crash.txt");
  }
}

}  // namespace
}  // namespace Velk::Testing
