#pragma once
// Without a window manager nobody gives a new window the keyboard: the message box SDL shows would
// leave Return and Escape to the window under the pointer, or to the program's window that holds
// the focus. While a box is up, the box is given the focus when it shows: the first top-level
// window made and shown on the display with the box's title that names no other process. This
// watches through a connection of this process's own (SDL's box has one of its own, which it
// waits on while the box is up), whose errors alone are dropped.

#include <atomic>
#include <string>
#include <thread>

struct _XDisplay;

namespace Velk {

class XBoxFocus {
 public:
  // Watches for the box titled `title` from now on; does nothing where a window manager runs or
  // the display does not open.
  explicit XBoxFocus(std::string title);
  ~XBoxFocus();
  XBoxFocus(const XBoxFocus&) = delete;
  XBoxFocus& operator=(const XBoxFocus&) = delete;

  // True once the box was given the focus.
  bool Focused() const { return focused_; }

 private:
  void Watch();
  bool IsBox(unsigned long window) const;
  void Focus(unsigned long window);

  const std::string title_;
  _XDisplay* display_ = nullptr;
  std::atomic<bool> done_{false};
  std::atomic<bool> focused_{false};
  std::thread watcher_;
};

}  // namespace Velk
