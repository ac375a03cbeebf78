#pragma once
// Owns one system critical section, which is recursive: a thread that holds it may take it again
// (the display's section is re-entered through texture release while the image set is being
// changed). Users either enter the member directly or hold the object as a standard Lockable
// (std::lock_guard, std::unique_lock).

#include "platform/threads/Threads.h"

namespace Velk {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&mCriticalSection); }
  ~CriticalSection() { DeleteCriticalSection(&mCriticalSection); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() { EnterCriticalSection(&mCriticalSection); }
  void unlock() { LeaveCriticalSection(&mCriticalSection); }
  bool try_lock() { return mCriticalSection.lock->try_lock(); }

  CRITICAL_SECTION mCriticalSection;
};

}  // namespace Velk
