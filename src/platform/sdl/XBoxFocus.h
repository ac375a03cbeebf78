#pragma once
// Without a window manager nobody gives a new window the keyboard: the message box SDL shows would
// leave Return and Escape to the window under the pointer, or to the program's window that holds
// the focus. While a box is up, the first top-level window made and shown on the display is given
// the focus, through a connection of this process's own (SDL's box has one of its own, which it
// waits on while the box is up).

#include <atomic>
#include <thread>

struct _XDisplay;

namespace Velk {

class XBoxFocus {
 public:
  // Watches from now on; does nothing where a window manager runs or the display does not open.
  XBoxFocus();
  ~XBoxFocus();
  XBoxFocus(const XBoxFocus&) = delete;
  XBoxFocus& operator=(const XBoxFocus&) = delete;

  // True once a window was given the focus.
  bool Focused() const { return focused_; }

 private:
  void Watch();
  void Focus(unsigned long window);

  _XDisplay* display_ = nullptr;
  std::atomic<bool> done_{false};
  std::atomic<bool> focused_{false};
  std::thread watcher_;
};

}  // namespace Velk
