#include "platform/threads/Threads.h"

#include "platform/base/LastError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// Waits for a flag that another thread sets; false after five seconds.
bool WaitFor(const std::atomic<bool>& flag) {
  for (int i = 0; i < 5000 && !flag.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return flag.load();
}

struct ThreadReport {
  std::atomic<bool> done{false};
  DWORD id = 0;
  int priorityAtStart = -99;
  int priorityAfterSet = -99;
  DWORD lastError = 99;
};

void ReportingThread(void* arg) {
  auto* report = static_cast<ThreadReport*>(arg);
  report->id = GetCurrentThreadId();
  report->priorityAtStart = GetThreadPriority(GetCurrentThread());
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  report->priorityAfterSet = GetThreadPriority(GetCurrentThread());
  report->lastError = GetLastError();
  report->done = true;
}

TEST(Threads, StartedThreadGetsItsArgumentAndItsOwnIdAndPriority) {
  SetLastError(ERROR_ACCESS_DENIED);
  ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST));
  ThreadReport report;
  ASSERT_NE(_beginthread(&ReportingThread, 0, &report), static_cast<uintptr_t>(-1));
  ASSERT_TRUE(WaitFor(report.done));
  EXPECT_NE(report.id, 0u);
  EXPECT_NE(report.id, GetCurrentThreadId());
  // Priority and last error belong to each thread.
  EXPECT_EQ(report.priorityAtStart, THREAD_PRIORITY_NORMAL);
  EXPECT_EQ(report.priorityAfterSet, THREAD_PRIORITY_ABOVE_NORMAL);
  EXPECT_EQ(report.lastError, ERROR_SUCCESS);
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_HIGHEST);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  int other = 0;
  EXPECT_FALSE(SetThreadPriority(&other, THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(GetThreadPriority(&other), THREAD_PRIORITY_ERROR_RETURN);
  EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 3));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

struct Shared {
  CRITICAL_SECTION section;
  int counter = 0;
  std::atomic<int> finished{0};
};

// Enters twice per step, as a caller that re-enters through another of its own calls does.
void Increment(void* arg) {
  auto* shared = static_cast<Shared*>(arg);
  for (int i = 0; i < 10000; ++i) {
    EnterCriticalSection(&shared->section);
    EnterCriticalSection(&shared->section);
    int seen = shared->counter;
    shared->counter = seen + 1;
    LeaveCriticalSection(&shared->section);
    LeaveCriticalSection(&shared->section);
  }
  ++shared->finished;
}

TEST(Threads, CriticalSectionIsRecursiveAndExclusive) {
  Shared shared;
  InitializeCriticalSection(&shared.section);
  for (int i = 0; i < 4; ++i) ASSERT_NE(_beginthread(&Increment, 0, &shared), static_cast<uintptr_t>(-1));
  for (int i = 0; i < 5000 && shared.finished.load() < 4; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(shared.finished.load(), 4);
  EnterCriticalSection(&shared.section);
  EXPECT_EQ(shared.counter, 40000);
  LeaveCriticalSection(&shared.section);
  DeleteCriticalSection(&shared.section);
}

TEST(Threads, ComInitialisationCountsPerThread) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  std::atomic<HRESULT> other{E_FAIL};
  std::thread([&] { other = CoInitialize(nullptr); }).join();
  EXPECT_EQ(other.load(), S_OK);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

}  // namespace
