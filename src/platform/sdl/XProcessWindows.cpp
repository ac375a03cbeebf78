#include "platform/sdl/XProcessWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace Velk {

namespace {

bool Owned(Display* display, Window window, Atom pidAtom, int pid) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool read = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                       &after, &data) == Success;
  const bool owned = read && data && type == XA_CARDINAL && format == 32 && count == 1 &&
                     static_cast<int>(*reinterpret_cast<unsigned long*>(data)) == pid;
  if (data) XFree(data);
  return owned;
}

// The windows under `window` (a window manager's frames hold the programs' windows) that `pid` owns.
void Collect(Display* display, Window window, Atom pidAtom, int pid, std::vector<Window>& found) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) {
    if (Owned(display, children[i], pidAtom, pid)) {
      found.push_back(children[i]);
    } else {
      Collect(display, children[i], pidAtom, pid, found);
    }
  }
  if (children) XFree(children);
}

}  // namespace

bool XProcessWindows::Withdraw(int pid) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  std::vector<Window> found;
  if (pidAtom != None) Collect(display, DefaultRootWindow(display), pidAtom, pid, found);
  for (Window window : found) XWithdrawWindow(display, window, DefaultScreen(display));
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}

}  // namespace Velk
