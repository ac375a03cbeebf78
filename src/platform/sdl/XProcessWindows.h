#pragma once
// The top-level windows a process shows on the X display, found by the process id that each
// carries (_NET_WM_PID); another process's are hidden through a connection of this process's own,
// so that nothing waits on the other process's connection.

#include <optional>

struct _XDisplay;

namespace Velk {

class XProcessWindows {
 public:
  // Withdraws every window of `pid`; false when the display cannot be reached.
  static bool Withdraw(int pid);
  // The process `window` names, or else the window it is transient for (a dialog of an owner);
  // nothing where neither names one.
  static std::optional<int> ProcessOf(_XDisplay* display, unsigned long window);
};

}  // namespace Velk
