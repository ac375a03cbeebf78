// A message box on an X screen with no window manager, where nobody gives a new window the
// keyboard: with the pointer away from the box, Return answers it with its first button.

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "app/ChildProcess.h"
#include "e2e/FindProgram.h"
#include "e2e/Polling.h"
#include "e2e/XvfbScreen.h"
#include "platform/ScopedEnv.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/sdl/SdlBackend.h"

// After the program's own headers: Xlib's macros (None, CursorShape, ...) would change them.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace E2e {
namespace {

constexpr int kLimitMs = 5000 * Velk::Testing::kChildSlowdown;

// The middle of the one window shown on the bare screen (the box), or nothing while none shows.
std::optional<ScreenPoint> ShownWindow(Display* display) {
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  std::optional<ScreenPoint> shown;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return shown;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) {
      shown = ScreenPoint{attributes.x + attributes.width / 2, attributes.y + attributes.height / 2};
    }
  }
  if (children) XFree(children);
  return shown;
}

// True once the keyboard is on a shown window: the box is given it a moment after it is mapped, and
// a key before that (a player is never that quick) would go nowhere.
bool ShownWindowHasTheKeyboard(Display* display) {
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  XWindowAttributes attributes;
  return focus != PointerRoot && focus != 0 && focus != DefaultRootWindow(display) &&
         XGetWindowAttributes(display, focus, &attributes) && attributes.map_state == IsViewable;
}

TEST(MessageBoxKeys, ReturnAnswersABoxWithoutAWindowManager) {
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  XvfbScreen screen(800, 600);
  ASSERT_EQ(screen.Failure(), "");
  ScopedEnv display("DISPLAY", screen.Name().c_str());
  ScopedEnv driver("SDL_VIDEODRIVER", "x11");
  screen.MovePointer(0, 0);  // the box comes up in the middle
  Velk::SdlBackend backend;
  ASSERT_TRUE(backend.ShowsOnXDisplay());

  // Opened before the box: SDL shows it from a forked process, which would wait for ever on an Xlib
  // lock that a connection being opened in another thread held at the fork.
  Display* connection = XOpenDisplay(screen.Name().c_str());
  ASSERT_TRUE(connection);
  std::thread keys([&screen, connection] {
    if (WaitUntil([&] { return ShownWindow(connection) && ShownWindowHasTheKeyboard(connection); }, kLimitMs, 20)) {
      screen.PressKeys({XK_Return});
      // Not answered: Escape through the pointer, so that the test ends with the box's other answer.
      if (!WaitUntil([&] { return !ShownWindow(connection); }, kLimitMs, 20)) {
        if (const std::optional<ScreenPoint> box = ShownWindow(connection)) screen.MovePointer(box->x, box->y);
        screen.PressKeys({XK_Escape});
      }
    }
    XCloseDisplay(connection);
  });
  const int answer = backend.ShowMessageBox(nullptr, "Return answers this box.", "Keys", MB_OKCANCEL,
                                            {{IDOK, "OK"}, {IDCANCEL, "Cancel"}});
  keys.join();
  EXPECT_EQ(answer, IDOK);
}

}  // namespace
}  // namespace E2e
