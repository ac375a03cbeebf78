#include "platform/process/ForkWatch.h"

#include "platform/process/CloseSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace Velk {

namespace {

// Set while a watch of this thread lives; a fork copies them into the child.
thread_local int tTellTo = -1;
thread_local pid_t tProgram = 0;

// In the forked process, which has only this thread: nothing but calls that are safe after a fork.
void InForkedChild() {
  const int tellTo = tTellTo;
  if (tellTo < 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != tProgram) _exit(1);  // the program ended before the line above
  // Else a close signal here would run the program's handler and close the program instead.
  if (!CloseSignals::MakePlainInForkedChild()) _exit(1);
  const pid_t self = getpid();
  [[maybe_unused]] ssize_t written = write(tellTo, &self, sizeof self);
}

// Still a child of this process and not yet reaped, so its id names no other process.
bool Unreaped(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

}  // namespace

ForkWatch::ForkWatch() {
  static std::once_flag registered;
  std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, &InForkedChild); });
  if (pipe2(ends_, O_CLOEXEC) != 0) return;
  tProgram = getpid();
  tTellTo = ends_[1];
  watcher_ = std::thread(&ForkWatch::Watch, this);
  // This thread waits for the forked process where a close signal could not be acted on at once:
  // the watch takes the signals meanwhile.
  letInAgain_ = CloseSignals::KeepOutOfThisThread();
}

ForkWatch::~ForkWatch() {
  tTellTo = -1;
  if (watcher_.joinable()) {
    const pid_t done = 0;
    [[maybe_unused]] ssize_t written = write(ends_[1], &done, sizeof done);
    watcher_.join();
  }
  if (letInAgain_ != 0) CloseSignals::LetIntoThisThread(letInAgain_);
  for (int end : ends_) {
    if (end >= 0) close(end);
  }
}

void ForkWatch::Watch() {
  CloseSignals::LetIntoThisThread();
  std::vector<pid_t> forked;
  bool closing = false;
  for (;;) {
    pollfd waits[2] = {{ends_[0], POLLIN, 0}, {closing ? -1 : CloseSignals::CaughtFd(), POLLIN, 0}};
    if (poll(waits, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waits[0].revents & POLLIN) {
      pid_t pid = 0;
      if (read(ends_[0], &pid, sizeof pid) != sizeof pid || pid == 0) return;
      forked.push_back(pid);
    }
    closing = closing || (waits[1].revents & POLLIN) != 0;
    if (!closing) continue;
    for (pid_t pid : forked) {
      if (Unreaped(pid)) kill(pid, SIGKILL);
    }
    forked.clear();
  }
}

}  // namespace Velk
