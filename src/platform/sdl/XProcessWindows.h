#pragma once
// The top-level windows another process shows on the X display, found by the process id that each
// carries (_NET_WM_PID), and hidden through a connection of this process's own, so that nothing
// waits on the other process's connection.

namespace Velk {

class XProcessWindows {
 public:
  // Withdraws every window of `pid`; false when the display cannot be reached.
  static bool Withdraw(int pid);
};

}  // namespace Velk
