#pragma once
// One recursive lock: a thread that holds it may take it again (the display's section is re-entered
// through texture release while the image set is being changed). It meets the standard Lockable
// requirements, so callers hold it with std::lock_guard / std::unique_lock.

#include <mutex>

namespace Velk {

class CriticalSection {
 public:
  CriticalSection() = default;
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() { mMutex.lock(); }
  void unlock() { mMutex.unlock(); }
  bool try_lock() { return mMutex.try_lock(); }

 private:
  std::recursive_mutex mMutex;
};

}  // namespace Velk
