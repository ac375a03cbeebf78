#pragma once
// A connection to an X display and what a test does there through Xlib: read the screen, move the
// pointer, press keys, find the windows a process shows. The parent holds one to the screen it
// started; a phase in a real window holds one to read back what its own window shows.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/FrameGrid.h"

struct _XDisplay;

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

class XConnection {
 public:
  // Not connected until Connect.
  XConnection() = default;
  virtual ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  // False when the display (":1", ...) takes no connection.
  bool Connect(const std::string& name);
  // The screen's size.
  int Width() const;
  int Height() const;

  // What the screen shows now, as X8R8G8B8 rows; empty when it cannot be read.
  Frame Grab() const;
  // What a part of the screen shows now.
  Frame Grab(const ScreenRect& area) const;
  // Puts the pointer on that screen point, as a player's mouse would.
  void MovePointer(int x, int y) const;
  // The pointer to that screen point and the left button pressed and let go there at once, as the
  // server delivers a player's quick click.
  void Click(int x, int y) const;
  // Presses the left button at `from`, moves to `to` and lets go, as a player drags a window by
  // its title bar.
  void Drag(ScreenPoint from, ScreenPoint to) const;
  // Asks the largest window of the process to close, as a window manager's close box does
  // (WM_DELETE_WINDOW); false when the process shows none.
  bool AskToClose(pid_t pid) const;
  // Presses the keys in order and lets them go in reverse order (X key symbols: XK_Alt_L, ...).
  void PressKeys(const std::vector<unsigned long>& keySyms) const;
  // The client area of the largest window the process shows (by the process id its windows carry),
  // in screen coordinates; nothing while it shows none.
  std::optional<ScreenRect> WindowOf(pid_t pid) const;
  // Moves the largest window of the process so that its corner (its frame's, under a window
  // manager) goes to that screen point, as a program or a player moving it would; false when the
  // process shows none.
  bool MoveWindowOf(pid_t pid, int x, int y) const;
  // Has the largest window of the process drawn again whole, as when a window that covered it goes:
  // until it is, its place shows black.
  bool ExposeWindowOf(pid_t pid) const;
  // How many windows the process shows.
  int WindowCount(pid_t pid) const { return WindowsOf(pid).shown; }

 protected:
  // Before the server goes: a connection to a server that has gone cannot be closed.
  void Disconnect();
  _XDisplay* Connection() const { return display_; }

 private:
  // A process's viewable windows: how many, and the largest.
  struct Found {
    std::optional<ScreenRect> largest;
    unsigned long window = 0;
    int shown = 0;
  };
  // Those below `window`, added to `found`.
  void FindWindows(unsigned long window, unsigned long pidAtom, pid_t pid, Found& found) const;
  Found WindowsOf(pid_t pid) const;

  _XDisplay* display_ = nullptr;
};

}  // namespace E2e
