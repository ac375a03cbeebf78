#include "platform/sdl/XBoxFocus.h"

#include "platform/sdl/XErrorFilter.h"
#include "platform/sdl/XProcessWindows.h"
#include "platform/sdl/XWindowFrame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <set>
#include <utility>

namespace Velk {

namespace {

// How often the watch looks whether the box is gone.
constexpr int kPollMs = 20;
// Longer than any title a box is given.
constexpr long kTitleWords = 1024;

// The window's title as its bytes (_NET_WM_NAME, else WM_NAME).
std::string TitleOf(Display* display, ::Window window) {
  for (const Atom name : {XInternAtom(display, "_NET_WM_NAME", False), XA_WM_NAME}) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, window, name, 0, kTitleWords, False, AnyPropertyType, &type, &format,
                                         &count, &after, &data) == Success;
    std::string title = read && data && format == 8 ? std::string(reinterpret_cast<char*>(data), count) : "";
    if (data) XFree(data);
    if (!title.empty()) return title;
  }
  return "";
}

}  // namespace

XBoxFocus::XBoxFocus(std::string title) : title_(std::move(title)) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  if (XWindowFrame::ManagerRunsOn(display_)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  // A window gone before a request on it came is no fault; SDL's errors go on as before.
  XErrorFilter::Claim(display_);
  // Selected before the box is made, so that its creation is seen however late the watch starts.
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
  watcher_ = std::thread(&XBoxFocus::Watch, this);
}

XBoxFocus::~XBoxFocus() {
  done_ = true;
  if (watcher_.joinable()) watcher_.join();
  if (!display_) return;
  XSync(display_, False);
  XErrorFilter::Release(display_);
  XCloseDisplay(display_);
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
      } else if (event.type == MapNotify && event.xmap.event == root && made.count(event.xmap.window) > 0 &&
                 IsBox(event.xmap.window)) {
        Focus(event.xmap.window);
      }
    }
    poll(&connection, 1, kPollMs);
  }
}

// SDL's box carries no process id of its own; a box with an owner is transient for the program's
// window, which does.
bool XBoxFocus::IsBox(unsigned long window) const {
  if (TitleOf(display_, window) != title_) return false;
  const std::optional<int> process = XProcessWindows::ProcessOf(display_, window);
  return !process || *process == getpid();
}

void XBoxFocus::Focus(unsigned long window) {
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
  focused_ = true;
}

}  // namespace Velk
