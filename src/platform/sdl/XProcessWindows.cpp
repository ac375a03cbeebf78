#include "platform/sdl/XProcessWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace Velk {

namespace {

// The process id `window` carries itself.
std::optional<int> Carried(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool read = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                       &after, &data) == Success;
  std::optional<int> pid;
  if (read && data && type == XA_CARDINAL && format == 32 && count == 1) {
    pid = static_cast<int>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return pid;
}

// The windows under `window` (a window manager's frames hold the programs' windows) that `pid` owns.
void Collect(Display* display, Window window, Atom pidAtom, int pid, std::vector<Window>& found) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) {
    if (Carried(display, children[i], pidAtom) == pid) {
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

std::optional<int> XProcessWindows::ProcessOf(Display* display, unsigned long window) {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  if (pidAtom == None) return std::nullopt;
  if (const std::optional<int> pid = Carried(display, window, pidAtom)) return pid;
  Window owner = None;
  if (!XGetTransientForHint(display, window, &owner) || owner == None) return std::nullopt;
  return Carried(display, owner, pidAtom);
}

}  // namespace Velk
