#include "platform/process/CloseSignals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace Velk {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<bool> gCaught{false};   // a signal came since Install
std::atomic<bool> gPending{false};  // not yet turned into WM_CLOSE
// Made once and kept: a watcher may poll it while Remove and Install run.
std::atomic<int> gCaughtRead{-1};
std::atomic<int> gCaughtWrite{-1};
struct sigaction gPrevious[3];
bool gInstalled = false;

static_assert(std::atomic<bool>::is_always_lock_free, "the flags are set from a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "the pipe is read from a signal handler");

void OnCloseSignal(int signal) {
  if (gCaught.exchange(true)) {
    // The first one is being handled and the user insists.
    ::signal(signal, SIG_DFL);
    raise(signal);
    return;
  }
  gPending = true;
  const int savedErrno = errno;
  if (const int wake = gCaughtWrite.load(); wake >= 0) [[maybe_unused]]
    ssize_t written = write(wake, "", 1);
  errno = savedErrno;
}

void MakePipe() {
  if (gCaughtRead.load() >= 0) return;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  gCaughtWrite = ends[1];
  gCaughtRead = ends[0];
}

void DrainPipe() {
  char byte;
  if (const int read = gCaughtRead.load(); read >= 0) {
    while (::read(read, &byte, 1) == 1) {
    }
  }
}

sigset_t CloseSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kSignals) sigaddset(&set, signal);
  return set;
}

}  // namespace

void CloseSignals::Install() {
  if (gInstalled) return;
  MakePipe();
  DrainPipe();
  gCaught = false;
  gPending = false;
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
  gInstalled = true;
}

void CloseSignals::Remove() {
  if (!gInstalled) return;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  gInstalled = false;
  DrainPipe();
}

bool CloseSignals::TakeRequest() { return gPending.exchange(false); }

void CloseSignals::PutBack() { gPending = true; }

int CloseSignals::CaughtFd() { return gCaughtRead.load(); }

bool CloseSignals::KeepOutOfThisThread() {
  const sigset_t set = CloseSignalSet();
  sigset_t before;
  if (pthread_sigmask(SIG_BLOCK, &set, &before) != 0) return false;
  return sigismember(&before, SIGTERM) == 0;
}

void CloseSignals::LetIntoThisThread() {
  const sigset_t set = CloseSignalSet();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void CloseSignals::MakePlainInForkedChild() {
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  for (int signal : kSignals) sigaction(signal, &plain, nullptr);
  const sigset_t set = CloseSignalSet();
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace Velk
