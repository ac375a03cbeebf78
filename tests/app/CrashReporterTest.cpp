// A crash as the program ends on it without a display: the handler hands the fault to the reporter
// process, the report lands in crash.txt in the program's current folder with the application's
// part, and the process ends by the signal quickly. Two threads faulting together give one report.
// A reporter that cannot run, or a report that cannot be written, never keeps the process alive.

#include "app/ChildProcess.h"
#include "platform/ScratchFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>

namespace Velk::Testing {
namespace {

constexpr int kHeadlessLimitMs = 2000 * kChildSlowdown;

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
    ChildProcess child({VELK_CHILD_APP}, Environment(), 1, scratch_.Path());
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << strsignal(signal);
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    std::optional<int> status = child.WaitForEnd(kHeadlessLimitMs);
    ASSERT_TRUE(status) << strsignal(signal) << ": still running after 2 s";
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(kHeadlessLimitMs));
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

// A stopped reporter never takes the fault: the watchdog ends the process by its signal after 10 s.
// A reporter that is gone cannot be told: the process ends at once.
TEST_F(CrashReporterTest, WithoutAReporterTheSignalStillEndsTheProgram) {
  for (const int stop : {SIGSTOP, SIGKILL}) {
    ChildProcess child({VELK_CHILD_APP}, Environment(), 1, scratch_.Path());
    ASSERT_TRUE(child.WaitForLine("running", 10000)) << strsignal(stop);
    const pid_t reporter = ReporterOf(child.Pid());
    ASSERT_GT(reporter, 0);
    ASSERT_EQ(kill(reporter, stop), 0);
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(child.Pid(), SIGSEGV), 0);
    const int limitMs = stop == SIGSTOP ? 10000 + kHeadlessLimitMs : kHeadlessLimitMs;
    std::optional<int> status = child.WaitForEnd(limitMs);
    ASSERT_TRUE(status) << "reporter " << strsignal(stop) << ": still running";
    const auto took = std::chrono::steady_clock::now() - sent;
    if (stop == SIGSTOP) {
      EXPECT_GE(took, std::chrono::milliseconds(10000));
    }
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << "status " << *status;
  }
}

// A folder in crash.txt's place: the report is lost, nothing of it is left behind, and the signal
// still ends the program.
TEST_F(CrashReporterTest, AReportThatCannotBeWrittenStillEndsTheProgramByTheSignal) {
  std::filesystem::create_directory(scratch_ / "crash.txt");
  ChildProcess child({VELK_CHILD_APP}, Environment(), 1, scratch_.Path());
  ASSERT_TRUE(child.WaitForLine("running", 10000));
  ASSERT_EQ(kill(child.Pid(), SIGSEGV), 0);
  std::optional<int> status = child.WaitForEnd(kHeadlessLimitMs);
  ASSERT_TRUE(status) << "still running after 2 s";
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << "status " << *status;
  EXPECT_TRUE(std::filesystem::is_empty(scratch_ / "crash.txt"));
  for (const auto& entry : std::filesystem::directory_iterator(scratch_.Path()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

}  // namespace
}  // namespace Velk::Testing
