#include "e2e/XvfbScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

#include "app/ChildProcess.h"
#include "e2e/FindProgram.h"

namespace E2e {

namespace {

constexpr int kStartLimitMs = 10000;
constexpr int kStopLimitMs = 3000;

// Xlib reports errors of the test's own requests here instead of ending the test program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XvfbScreen::XvfbScreen(int width, int height, const std::string& windowManager) : width_(width), height_(height) {
  if (!StartServer()) return;
  if (!windowManager.empty()) StartWindowManager(windowManager);
}

XvfbScreen::~XvfbScreen() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (windowManager_) Stop(*windowManager_);
  if (server_) Stop(*server_);
}

// Asked to end first, so that the server removes its socket and lock file.
void XvfbScreen::Stop(Velk::Testing::ChildProcess& process) {
  if (process.Pid() > 0) kill(process.Pid(), SIGTERM);
  process.WaitForEnd(kStopLimitMs);
}

bool XvfbScreen::StartServer() {
  const std::optional<std::string> xvfb = FindProgram("Xvfb");
  if (!xvfb) {
    failure_ = "Xvfb is not installed";
    return false;
  }
  const std::string screen = std::to_string(width_) + "x" + std::to_string(height_) + "x24";
  // The server writes the display number it chose to descriptor 3 once it accepts connections; its
  // root is black, as the bars beside a picture are.
  server_ = std::make_unique<Velk::Testing::ChildProcess>(
      std::vector<std::string>{*xvfb, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-br"},
      std::map<std::string, std::string>{}, 3);
  const std::optional<std::string> number = server_->ReadLine(kStartLimitMs);
  if (!number || number->empty()) {
    failure_ = "Xvfb did not start";
    return false;
  }
  name_ = ":" + *number;
  XSetErrorHandler(IgnoreXError);
  display_ = XOpenDisplay(name_.c_str());
  if (display_ == nullptr) failure_ = "no connection to " + name_;
  return display_ != nullptr;
}

bool XvfbScreen::StartWindowManager(const std::string& program) {
  const std::optional<std::string> path = FindProgram(program);
  if (!path) {
    failure_ = program + " is not installed";
    return false;
  }
  windowManager_ = std::make_unique<Velk::Testing::ChildProcess>(
      std::vector<std::string>{*path}, std::map<std::string, std::string>{{"DISPLAY", name_}});
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
  while (!WindowManagerRuns()) {
    if (std::chrono::steady_clock::now() > end) {
      failure_ = program + " did not start managing " + name_;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A window manager of the current standard announces itself on the root window.
bool XvfbScreen::WindowManagerRuns() const {
  const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                                        &format, &count, &after, &data);
  const bool runs = status == Success && count == 1;
  if (data != nullptr) XFree(data);
  return runs;
}

Frame XvfbScreen::Grab() const {
  Frame frame;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), AllPlanes, ZPixmap);
  if (image == nullptr) return frame;
  frame.width = width_;
  frame.height = height_;
  frame.pixels.resize(static_cast<size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      frame.pixels[static_cast<size_t>(y) * width_ + x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
  }
  XDestroyImage(image);
  return frame;
}

void XvfbScreen::PressKeys(const std::vector<unsigned long>& keySyms) const {
  for (unsigned long sym : keySyms) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), True, CurrentTime);
  for (auto it = keySyms.rbegin(); it != keySyms.rend(); ++it) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, *it), False, CurrentTime);
  }
  XSync(display_, False);
}

std::optional<ScreenRect> XvfbScreen::WindowOf(pid_t pid) const {
  std::optional<ScreenRect> best;
  FindWindows(DefaultRootWindow(display_), XInternAtom(display_, "_NET_WM_PID", False), pid, best);
  return best;
}

// A window manager puts the program's windows into frames of its own, so the whole tree is searched.
void XvfbScreen::FindWindows(unsigned long window, unsigned long pidAtom, pid_t pid,
                             std::optional<ScreenRect>& best) const {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      count == 1 && format == 32 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) {
    XWindowAttributes attributes;
    Window child = None;
    int x = 0;
    int y = 0;
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable &&
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child) &&
        (!best || attributes.width * attributes.height > best->width * best->height)) {
      best = ScreenRect{x, y, attributes.width, attributes.height};
    }
  }
  if (data != nullptr) XFree(data);
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int number = 0;
  if (!XQueryTree(display_, window, &root, &parent, &children, &number)) return;
  for (unsigned int i = 0; i < number; ++i) FindWindows(children[i], pidAtom, pid, best);
  if (children != nullptr) XFree(children);
}

void XvfbScreen::MovePointer(int x, int y) const {
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
  XSync(display_, False);
}

}  // namespace E2e
