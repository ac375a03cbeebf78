#include "platform/process/ForkWatch.h"

#include "platform/process/CloseSignals.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// A forked process that nothing ends lives this long, and the test fails rather than hangs.
constexpr unsigned kForkedLifeSeconds = 30;

class ForkWatchTest : public testing::Test {
 protected:
  void SetUp() override { Velk::CloseSignals::Install(); }
  void TearDown() override {
    Velk::CloseSignals::TakeRequest();
    Velk::CloseSignals::Remove();
  }

  // A process that waits for a signal; only calls that are safe after a fork.
  static pid_t ForkWaiting() {
    const pid_t pid = fork();
    if (pid == 0) {
      alarm(kForkedLifeSeconds);
      for (;;) pause();
    }
    return pid;
  }

  // How the process ended, as waitpid tells it.
  static int EndOf(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
  }

  static bool CloseSignalsKeptOut() {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, SIGTERM) == 1;
  }
};

// The wait for the forked process is where a box's caller sits when the program is asked to close.
TEST_F(ForkWatchTest, ACloseSignalWhileTheMakingThreadWaitsEndsTheForkedProcessAndIsTaken) {
  ASSERT_FALSE(CloseSignalsKeptOut());
  int status = 0;
  {
    Velk::ForkWatch watch;
    EXPECT_TRUE(CloseSignalsKeptOut());
    const pid_t pid = ForkWaiting();
    ASSERT_GT(pid, 0);
    std::thread asker([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      kill(getpid(), SIGTERM);
    });
    status = EndOf(pid);
    asker.join();
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
  EXPECT_TRUE(Velk::CloseSignals::TakeRequest());
  EXPECT_FALSE(CloseSignalsKeptOut());
}

TEST_F(ForkWatchTest, TheForkedProcessTakesTheCloseSignalsAsAPlainProcessDoes) {
  Velk::ForkWatch watch;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t pid = ForkWaiting();
    ASSERT_GT(pid, 0);
    kill(pid, signal);
    const int status = EndOf(pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal << ", status " << status;
  }
  EXPECT_FALSE(Velk::CloseSignals::TakeRequest());
}

}  // namespace
