#pragma once
// The window messages that the window procedure keeps for the main loop, oldest first. The loop
// delivers them one per step, so input never runs inside the window procedure and its order
// against the logic updates is fixed.

#include "platform/window/WinUser.h"

#include <cstddef>
#include <list>

namespace Velk {

struct DeferredInput {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class DeferredInputQueue {
 public:
  // Appends the record unless the newest one already says the same: nothing follows a close, a
  // timer right after a timer is dropped, and one colour or display change at a time is enough.
  // False when the record was not appended.
  bool Add(const DeferredInput& record);
  bool Empty() const { return mRecords.empty(); }
  size_t Size() const { return mRecords.size(); }
  // The queue must not be empty.
  DeferredInput TakeFront();
  void Clear() { mRecords.clear(); }

 private:
  bool HasSettingsChange() const;

  std::list<DeferredInput> mRecords;
};

}  // namespace Velk
