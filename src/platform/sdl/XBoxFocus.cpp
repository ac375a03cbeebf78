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
#include <vector>

namespace Velk {

namespace {

// How often the watch looks whether the box is gone.
constexpr int kPollMs = 20;
// Longer than any title a box is given.
constexpr long kTitleWords = 1024;
// More than any _NET_WM_STATE holds.
constexpr long kMaxItems = 64;
// _NET_ACTIVE_WINDOW's source indication for a request that stands for the player's own action.
constexpr long kSourceOfThePlayer = 2;

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

// The window the player works in, where it fills the screen; else None.
::Window FullScreenActiveWindow(Display* display) {
  const std::vector<long> active =
      XWindowFrame::Items(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
  if (active.empty() || active[0] == None) return None;
  const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  for (const long state : XWindowFrame::Items(display, active[0], "_NET_WM_STATE", XA_ATOM, kMaxItems)) {
    if (static_cast<Atom>(state) == fullScreen) return active[0];
  }
  return None;
}

// The server's time of now, as the ICCCM has a client learn it: from the note of a change to a
// window of its own.
Time ServerTime(Display* display) {
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  const ::Window own = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, InputOnly, CopyFromParent,
                                     CWEventMask, &attributes);
  XChangeProperty(display, own, XA_WM_NAME, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent changed;
  XWindowEvent(display, own, PropertyChangeMask, &changed);
  XDestroyWindow(display, own);
  return changed.xproperty.time;
}

}  // namespace

XBoxFocus::XBoxFocus(std::string title) : title_(std::move(title)) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  managed_ = XWindowFrame::ManagerRunsOn(display_);
  // A window gone before a request on it came is no fault; SDL's errors go on as before.
  XErrorFilter::Claim(display_);
  if (managed_) fullScreen_ = FullScreenActiveWindow(display_);
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
        const ::Window window = event.xcreatewindow.window;
        made.insert(window);
        // A window manager puts the window in a frame of its own before it shows it, and that map is
        // told to the window alone; it may have shown it already.
        XSelectInput(display_, window, StructureNotifyMask);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable && IsBox(window))
          Focus(window);
      } else if (event.type == MapNotify && made.count(event.xmap.window) > 0 && IsBox(event.xmap.window)) {
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
  if (managed_) {
    KeepOver(window);
    Activate(window);
  } else {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  }
  XSync(display_, False);
  focused_ = true;
}

// A box that no window of the program owns would go below the full-screen window the player was in
// the moment the player clicks that window again, unseen: it is made that window's dialog, which a
// manager keeps over it.
void XBoxFocus::KeepOver(unsigned long window) {
  ::Window owner = None;
  if (fullScreen_ != None && !XGetTransientForHint(display_, window, &owner)) {
    XSetTransientForHint(display_, window, fullScreen_);
  }
}

// A manager may keep a new window below the one the player works in (a full-screen game of
// another copy, say), where nobody sees it. The box answers the player's own start of the program,
// so it is asked for as the player's request (source 2), with the server's time of now.
void XBoxFocus::Activate(unsigned long window) {
  const ::Window root = DefaultRootWindow(display_);
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = kSourceOfThePlayer;
  request.xclient.data.l[1] = static_cast<long>(ServerTime(display_));
  XSendEvent(display_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
}

}  // namespace Velk
