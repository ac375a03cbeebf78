#include "platform/process/CloseSignals.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};  // the order of CloseSignals' sets

sigset_t SetOf(unsigned which) {
  sigset_t set;
  sigemptyset(&set);
  for (int i = 0; i < 3; ++i) {
    if ((which >> i) & 1u) sigaddset(&set, kSignals[i]);
  }
  return set;
}

unsigned KeptOut() {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  unsigned kept = 0;
  for (int i = 0; i < 3; ++i) kept |= (sigismember(&mask, kSignals[i]) == 1 ? 1u : 0u) << i;
  return kept;
}

// Whatever a thread kept out before keeping them all out is what it keeps out once they are let in
// again: each signal as it was, not as SIGTERM was.
TEST(CloseSignals, LettingInAgainRestoresEachSignalAsItWas) {
  for (unsigned before = 0; before <= Velk::CloseSignals::kAll; ++before) {
    std::thread([before] {
      const sigset_t set = SetOf(before);
      pthread_sigmask(SIG_SETMASK, &set, nullptr);
      const unsigned letIn = Velk::CloseSignals::KeepOutOfThisThread();
      EXPECT_EQ(KeptOut(), Velk::CloseSignals::kAll);
      EXPECT_TRUE(Velk::CloseSignals::LetIntoThisThread(letIn));
      EXPECT_EQ(KeptOut(), before) << before;
    }).join();
  }
}

}  // namespace
