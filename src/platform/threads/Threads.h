#pragma once
// Threads, thread ids, priorities and critical sections as the Windows calls and the C runtime
// offer them. Priorities are only recorded, per thread: the scheduler is left alone.

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <mutex>
#include <optional>

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts `start(argument)` on a new thread that runs detached, as the C runtime's does; the stack
// size is left to the system. Returns a non-zero value, or -1 (as uintptr_t) when no thread starts.
uintptr_t _beginthread(void (*start)(void*), unsigned stackSize, void* argument);

// The kernel's id of the calling thread; unique among live threads.
DWORD GetCurrentThreadId();
// A pseudo handle meaning "the calling thread", as on Windows.
HANDLE GetCurrentThread();
// Only the calling thread's pseudo handle is accepted (ERROR_INVALID_HANDLE otherwise); a value
// that is not a priority level gives ERROR_INVALID_PARAMETER.
BOOL SetThreadPriority(HANDLE thread, int priority);
// THREAD_PRIORITY_ERROR_RETURN for any handle but the pseudo handle.
int GetThreadPriority(HANDLE thread);

// Recursive: the owning thread may enter again, and must leave as often as it entered.
struct CRITICAL_SECTION {
  std::optional<std::recursive_mutex> lock;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);

// Nothing needs COM here; the counts keep the answers Windows gives (S_OK first, then S_FALSE on
// the same thread).
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
