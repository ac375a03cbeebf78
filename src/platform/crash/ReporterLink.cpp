#include "platform/crash/ReporterLink.h"

#include "platform/process/FileSizeSignal.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Velk {

namespace {

std::atomic<int> gDescriptor{-1};
std::atomic<pid_t> gReporter{0};

// A reporter that ended before the program (killed, or gone by itself) leaves no zombie behind.
// Only the reporter is waited for: any other child stays its owner's.
void ReapReporter(int) {
  const int savedErrno = errno;
  if (const pid_t reporter = gReporter.load(); reporter > 0) waitpid(reporter, nullptr, WNOHANG);
  errno = savedErrno;
}

void WatchReporter() {
  struct sigaction action {};
  action.sa_handler = ReapReporter;
  action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigemptyset(&action.sa_mask);
  sigaction(SIGCHLD, &action, nullptr);
}

// The reporter outlives neither the program nor a terminal's request to end: the program decides.
// It is forked before the program's start ignores SIGXFSZ: a report past a file-size limit must fail
// into its own failure path (its temporary file removed), not end the reporter.
void BecomeReporter(int descriptor, pid_t program, ReporterLink::ReporterMain reporterMain) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != program) _exit(0);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(signal, SIG_IGN);
  FileSizeSignal::Ignore();
  reporterMain(descriptor, program);
  _exit(0);
}

}  // namespace

bool ReporterLink::Start(ReporterMain reporterMain) {
  if (gDescriptor.load() >= 0) return true;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
  const pid_t program = getpid();
  WatchReporter();
  const pid_t reporter = fork();
  if (reporter == 0) {
    close(ends[0]);
    BecomeReporter(ends[1], program, reporterMain);
  }
  close(ends[1]);
  if (reporter < 0) {
    close(ends[0]);
    return false;
  }
  gDescriptor = ends[0];
  gReporter = reporter;
  ReapReporter(0);  // it may have ended before it was known
  return true;
}

int ReporterLink::Descriptor() { return gDescriptor.load(); }

bool ReporterLink::Send(const std::string& message) {
  const int descriptor = gDescriptor.load();
  return descriptor >= 0 &&
         send(descriptor, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size());
}

}  // namespace Velk
