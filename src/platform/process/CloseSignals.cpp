#include "platform/process/CloseSignals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <iterator>

namespace Velk {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
static_assert(CloseSignals::kAll == (1u << std::size(kSignals)) - 1, "one bit for each signal, in this order");

constexpr int64_t kNoSignalYet = -1;
constexpr int64_t kSameRequestNs = int64_t{CloseSignals::kSameRequestMs} * 1000000;

std::atomic<int64_t> gFirstAtNs{kNoSignalYet};  // when the first signal since Install came
std::atomic<bool> gPending{false};              // not yet turned into WM_CLOSE
// Made once and kept: a watcher may poll it while Remove and Install run.
std::atomic<int> gCaughtRead{-1};
std::atomic<int> gCaughtWrite{-1};
struct sigaction gPrevious[3];
bool gInstalled = false;

static_assert(std::atomic<bool>::is_always_lock_free, "the flags are set from a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "the pipe is read from a signal handler");
static_assert(std::atomic<int64_t>::is_always_lock_free, "the time is kept from a signal handler");

// clock_gettime is safe in a signal handler.
int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

void OnCloseSignal(int signal) {
  const int savedErrno = errno;
  const int64_t now = MonotonicNs();
  int64_t first = kNoSignalYet;
  if (gFirstAtNs.compare_exchange_strong(first, now)) {
    gPending = true;
    if (const int wake = gCaughtWrite.load(); wake >= 0) [[maybe_unused]]
      ssize_t written = write(wake, "", 1);
  } else if (now - first >= kSameRequestNs) {
    // The first one is being handled and the user insists.
    ::signal(signal, SIG_DFL);
    raise(signal);
  }
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

sigset_t CloseSignalSet(unsigned which) {
  sigset_t set;
  sigemptyset(&set);
  for (int i = 0; i < 3; ++i) {
    if ((which >> i) & 1u) sigaddset(&set, kSignals[i]);
  }
  return set;
}

}  // namespace

void CloseSignals::Install() {
  if (gInstalled) return;
  MakePipe();
  DrainPipe();
  gFirstAtNs = kNoSignalYet;
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

unsigned CloseSignals::KeepOutOfThisThread() {
  const sigset_t set = CloseSignalSet(kAll);
  sigset_t before;
  if (pthread_sigmask(SIG_BLOCK, &set, &before) != 0) return 0;
  unsigned letIn = 0;
  for (int i = 0; i < 3; ++i) {
    if (sigismember(&before, kSignals[i]) == 0) letIn |= 1u << i;
  }
  return letIn;
}

bool CloseSignals::LetIntoThisThread(unsigned which) {
  const sigset_t set = CloseSignalSet(which);
  return pthread_sigmask(SIG_UNBLOCK, &set, nullptr) == 0;
}

bool CloseSignals::MakePlainInForkedChild() {
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  bool done = true;
  for (int signal : kSignals) done = sigaction(signal, &plain, nullptr) == 0 && done;
  const sigset_t set = CloseSignalSet(kAll);
  return sigprocmask(SIG_UNBLOCK, &set, nullptr) == 0 && done;
}

}  // namespace Velk
