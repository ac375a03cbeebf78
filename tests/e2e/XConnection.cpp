#include "e2e/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace E2e {

XConnection::~XConnection() { Disconnect(); }

bool XConnection::Connect(const std::string& name) {
  Disconnect();
  display_ = XOpenDisplay(name.c_str());
  return display_ != nullptr;
}

void XConnection::Disconnect() {
  if (display_ != nullptr) XCloseDisplay(display_);
  display_ = nullptr;
}

int XConnection::Width() const { return display_ != nullptr ? DisplayWidth(display_, DefaultScreen(display_)) : 0; }

int XConnection::Height() const { return display_ != nullptr ? DisplayHeight(display_, DefaultScreen(display_)) : 0; }

Frame XConnection::Grab() const { return Grab(ScreenRect{0, 0, Width(), Height()}); }

Frame XConnection::Grab(const ScreenRect& area) const {
  Frame frame;
  if (display_ == nullptr || area.width <= 0 || area.height <= 0) return frame;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (image == nullptr) return frame;
  frame.width = area.width;
  frame.height = area.height;
  frame.pixels.resize(static_cast<size_t>(area.width) * area.height);
  for (int y = 0; y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) {
      frame.pixels[static_cast<size_t>(y) * area.width + x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
  }
  XDestroyImage(image);
  return frame;
}

// Through XTest, as the clicks: a program that reads the pointer's motion sees this one too.
void XConnection::MovePointer(int x, int y) const {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
  XSync(display_, False);
}

void XConnection::Click(int x, int y) const {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
}

void XConnection::Drag(ScreenPoint from, ScreenPoint to) const {
  constexpr int kSteps = 10;
  XTestFakeMotionEvent(display_, -1, from.x, from.y, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XSync(display_, False);
  // A window manager follows a drag through the moves between press and release.
  for (int step = 1; step <= kSteps; ++step) {
    XTestFakeMotionEvent(display_, -1, from.x + (to.x - from.x) * step / kSteps,
                         from.y + (to.y - from.y) * step / kSteps, CurrentTime);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
}

void XConnection::PressKeys(const std::vector<unsigned long>& keySyms) const {
  for (unsigned long sym : keySyms) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), True, CurrentTime);
  for (auto it = keySyms.rbegin(); it != keySyms.rend(); ++it) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, *it), False, CurrentTime);
  }
  XSync(display_, False);
}

XConnection::Found XConnection::WindowsOf(pid_t pid) const {
  Found found;
  FindWindows(DefaultRootWindow(display_), XInternAtom(display_, "_NET_WM_PID", False), pid, found);
  return found;
}

std::optional<ScreenRect> XConnection::WindowOf(pid_t pid) const { return WindowsOf(pid).largest; }

bool XConnection::MoveWindowOf(pid_t pid, int x, int y) const {
  const unsigned long window = WindowsOf(pid).window;
  if (window == None) return false;
  XMoveWindow(display_, window, x, y);
  XSync(display_, False);
  return true;
}

// Covered by a black window of the test's own and uncovered again: what it showed is gone from the
// screen (the window keeps no background of its own) until the process draws it again.
bool XConnection::ExposeWindowOf(pid_t pid) const {
  const std::optional<ScreenRect> area = WindowOf(pid);
  if (!area) return false;
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
  const Window cover =
      XCreateWindow(display_, DefaultRootWindow(display_), area->x, area->y, static_cast<unsigned>(area->width),
                    static_cast<unsigned>(area->height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(display_, cover);
  XSync(display_, False);
  XDestroyWindow(display_, cover);
  XSync(display_, False);
  return true;
}

bool XConnection::AskToClose(pid_t pid) const {
  const unsigned long window = WindowsOf(pid).window;
  if (window == None) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
  return true;
}

// A window manager puts the program's windows into frames of its own, so the whole tree is searched.
void XConnection::FindWindows(unsigned long window, unsigned long pidAtom, pid_t pid, Found& found) const {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      count == 1 && format == 32 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) {
    XWindowAttributes attributes;
    Window child = None;
    int x = 0;
    int y = 0;
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable &&
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child)) {
      ++found.shown;
      if (!found.largest || attributes.width * attributes.height > found.largest->width * found.largest->height) {
        found.largest = ScreenRect{x, y, attributes.width, attributes.height};
        found.window = window;
      }
    }
  }
  if (data != nullptr) XFree(data);
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int number = 0;
  if (!XQueryTree(display_, window, &root, &parent, &children, &number)) return;
  for (unsigned int i = 0; i < number; ++i) FindWindows(children[i], pidAtom, pid, found);
  if (children != nullptr) XFree(children);
}

}  // namespace E2e
