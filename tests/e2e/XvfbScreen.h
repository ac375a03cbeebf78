#pragma once
// A private X screen for tests that run a program in real windows: Xvfb of a chosen size on a
// display number the server picks itself (so that tests run side by side), optionally a window
// manager from Debian on it, and what a test does there through Xlib: read the screen, move the
// pointer, look at the windows. Everything it started ends with it.

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/FrameGrid.h"

struct _XDisplay;

namespace Velk::Testing {
class ChildProcess;
}

namespace E2e {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// A rectangle of the screen, in pixels.
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenRect&) const = default;
};

class XvfbScreen {
 public:
  // `windowManager` names a program on PATH ("openbox"), or is empty for a bare screen.
  XvfbScreen(int width, int height, const std::string& windowManager = "");
  ~XvfbScreen();
  XvfbScreen(const XvfbScreen&) = delete;
  XvfbScreen& operator=(const XvfbScreen&) = delete;

  // Empty once the server (and the window manager) run; else what failed.
  const std::string& Failure() const { return failure_; }
  // The value for DISPLAY.
  const std::string& Name() const { return name_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // What the screen shows now, as X8R8G8B8 rows.
  Frame Grab() const;
  // Puts the pointer on that screen point, as a player's mouse would.
  void MovePointer(int x, int y) const;
  // Presses the keys in order and lets them go in reverse order (X key symbols: XK_Alt_L, ...).
  void PressKeys(const std::vector<unsigned long>& keySyms) const;
  // The client area of the largest window the process shows (by the process id its windows carry),
  // in screen coordinates; nothing while it shows none.
  std::optional<ScreenRect> WindowOf(pid_t pid) const;

 private:
  bool StartServer();
  bool StartWindowManager(const std::string& program);
  bool WindowManagerRuns() const;
  void FindWindows(unsigned long window, unsigned long pidAtom, pid_t pid, std::optional<ScreenRect>& best) const;
  static void Stop(Velk::Testing::ChildProcess& process);

  int width_;
  int height_;
  std::string name_;
  std::string failure_;
  std::unique_ptr<Velk::Testing::ChildProcess> server_;
  std::unique_ptr<Velk::Testing::ChildProcess> windowManager_;
  _XDisplay* display_ = nullptr;
};

}  // namespace E2e
