#include "platform/threads/Threads.h"

#include "platform/base/LastError.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>
#include <thread>

namespace {

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

thread_local int tPriority = THREAD_PRIORITY_NORMAL;
thread_local int tComInits = 0;

bool IsPriorityLevel(int priority) {
  return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
         priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

}  // namespace

uintptr_t _beginthread(void (*start)(void*), unsigned, void* argument) {
  static const auto kFailed = static_cast<uintptr_t>(-1);
  if (start == nullptr) return kFailed;
  try {
    std::thread thread(start, argument);
    auto id = static_cast<uintptr_t>(thread.native_handle());
    thread.detach();
    return id;
  } catch (const std::system_error&) {
    return kFailed;
  }
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

HANDLE GetCurrentThread() { return kCurrentThread; }

BOOL SetThreadPriority(HANDLE thread, int priority) {
  if (thread != kCurrentThread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!IsPriorityLevel(priority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  tPriority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  if (thread != kCurrentThread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return THREAD_PRIORITY_ERROR_RETURN;
  }
  return tPriority;
}

void InitializeCriticalSection(CRITICAL_SECTION* section) { section->lock.emplace(); }

void DeleteCriticalSection(CRITICAL_SECTION* section) { section->lock.reset(); }

void EnterCriticalSection(CRITICAL_SECTION* section) { section->lock->lock(); }

void LeaveCriticalSection(CRITICAL_SECTION* section) { section->lock->unlock(); }

HRESULT CoInitialize(void*) { return tComInits++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (tComInits > 0) --tComInits;
}
