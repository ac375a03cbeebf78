#pragma once
// The thread's message queue: posted records in order, then the timers that are due. A timer that
// fell behind yields one WM_TIMER, never a burst, and waits a whole period after it is taken.

#include "platform/window/WinUser.h"

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace Velk {

// A record stamped with the time and pointer position, as the queue hands them out.
MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class MessageQueue {
 public:
  static MessageQueue& Instance();

  void Post(const MSG& msg);
  // The first record for `hwnd` (null: any) in [filterMin, filterMax] (both 0: any).
  std::optional<MSG> Take(HWND hwnd, UINT filterMin, UINT filterMax, bool remove);
  // Milliseconds until the next timer is due (0 when one is due); none without timers.
  std::optional<DWORD> UntilNextTimer() const;

  void SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);
  bool KillTimer(HWND hwnd, UINT_PTR id);
  // Drops what is queued or timed for a window that is going away.
  void Forget(HWND hwnd);
  void Clear();

 private:
  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    DWORD due;
  };

  mutable std::mutex lock_;
  std::deque<MSG> posted_;
  std::vector<Timer> timers_;
};

}  // namespace Velk
