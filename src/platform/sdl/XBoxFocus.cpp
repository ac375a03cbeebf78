#include "platform/sdl/XBoxFocus.h"

#include "platform/sdl/XWindowFrame.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <set>

namespace Velk {

namespace {

// How often the watch looks whether the box is gone.
constexpr int kPollMs = 20;

}  // namespace

XBoxFocus::XBoxFocus() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  if (XWindowFrame::ManagerRunsOn(display_)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  // Selected before the box is made, so that its creation is seen however late the watch starts.
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
  watcher_ = std::thread(&XBoxFocus::Watch, this);
}

XBoxFocus::~XBoxFocus() {
  done_ = true;
  if (watcher_.joinable()) watcher_.join();
  if (display_) XCloseDisplay(display_);
}

void XBoxFocus::Watch() {
  const ::Window root = DefaultRootWindow(display_);
  std::set<::Window> made;
  pollfd connection{ConnectionNumber(display_), POLLIN, 0};
  while (!done_ && !focused_) {
    while (XPending(display_) > 0 && !focused_) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == CreateNotify && event.xcreatewindow.parent == root && !event.xcreatewindow.override_redirect) {
        made.insert(event.xcreatewindow.window);
      } else if (event.type == MapNotify && event.xmap.event == root && made.count(event.xmap.window) > 0) {
        Focus(event.xmap.window);
      }
    }
    poll(&connection, 1, kPollMs);
  }
}

void XBoxFocus::Focus(unsigned long window) {
  // The box may be gone already (answered by a click): the error that brings is no fault.
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
  XSetErrorHandler(previous);
  focused_ = true;
}

}  // namespace Velk
