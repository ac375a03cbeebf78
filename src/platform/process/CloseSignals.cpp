#include "platform/process/CloseSignals.h"

#include <signal.h>

#include <atomic>

namespace Velk {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<bool> gCaught{false};   // a signal came since Install
std::atomic<bool> gPending{false};  // not yet turned into WM_CLOSE
struct sigaction gPrevious[3];
bool gInstalled = false;

static_assert(std::atomic<bool>::is_always_lock_free, "the flags are set from a signal handler");

void OnCloseSignal(int signal) {
  if (gCaught.exchange(true)) {
    // The first one is being handled and the user insists.
    ::signal(signal, SIG_DFL);
    raise(signal);
    return;
  }
  gPending = true;
}

}  // namespace

void CloseSignals::Install() {
  if (gInstalled) return;
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
}

bool CloseSignals::TakeRequest() { return gPending.exchange(false); }

void CloseSignals::PutBack() { gPending = true; }

}  // namespace Velk
