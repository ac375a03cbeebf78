#pragma once
// Without a window manager nobody gives a new window the keyboard: the message box SDL shows would
// leave Return and Escape to the window under the pointer, or to the program's window that holds
// the focus. With one, the manager may show a box that no window of the program owns below the
// window the player works in, and a full-screen window the player clicks again goes over it. While
// a box is up, the box is given the focus when it shows (asked of the manager where one runs), and
// one that no window owns is kept over the full-screen window the player was in: the first
// top-level window made and shown on the display with the box's title that names no other process. This watches through
// a connection of this process's own (SDL's box has one of its own, which it waits on while the box is up), whose
// errors alone are dropped.

#include <atomic>
#include <string>
#include <thread>

struct _XDisplay;

namespace Velk {

class XBoxFocus {
 public:
  // Watches for the box titled `title` from now on; does nothing where the display does not open.
  explicit XBoxFocus(std::string title);
  ~XBoxFocus();
  XBoxFocus(const XBoxFocus&) = delete;
  XBoxFocus& operator=(const XBoxFocus&) = delete;

  // True once the box was given the focus here, where no window manager runs: then nobody gives it
  // back when the box goes either.
  bool FocusedByHand() const { return focused_ && !managed_; }

 private:
  void Watch();
  bool IsBox(unsigned long window) const;
  void Focus(unsigned long window);
  void KeepOver(unsigned long window);
  void Activate(unsigned long window);

  const std::string title_;
  _XDisplay* display_ = nullptr;
  bool managed_ = false;
  unsigned long fullScreen_ = 0;  // the window the player was in, where it filled the screen
  std::atomic<bool> done_{false};
  std::atomic<bool> focused_{false};
  std::thread watcher_;
};

}  // namespace Velk
