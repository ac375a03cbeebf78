#include "platform/crash/ReporterLink.h"

#include <atomic>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Velk {

namespace {

std::atomic<int> gDescriptor{-1};

// The reporter outlives neither the program nor a terminal's request to end: the program decides.
void BecomeReporter(int descriptor, pid_t program, ReporterLink::ReporterMain reporterMain) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != program) _exit(0);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(signal, SIG_IGN);
  reporterMain(descriptor, program);
  _exit(0);
}

}  // namespace

bool ReporterLink::Start(ReporterMain reporterMain) {
  if (gDescriptor.load() >= 0) return true;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
  const pid_t program = getpid();
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
  return true;
}

int ReporterLink::Descriptor() { return gDescriptor.load(); }

bool ReporterLink::Send(const std::string& message) {
  const int descriptor = gDescriptor.load();
  return descriptor >= 0 &&
         send(descriptor, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size());
}

}  // namespace Velk
