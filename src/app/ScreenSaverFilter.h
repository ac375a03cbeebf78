#pragma once
// Run as a screen saver, the program ends at the first sign of the user: a click, a key, the pointer
// moving a few times or the window losing activation. The window procedure asks this filter first;
// what it handles goes no further, what it passes on is processed as usual.

#include "platform/window/WinUser.h"

#include <optional>

namespace Velk {

class ScreenSaverFilter {
 public:
  // The result when the message is handled here; nothing to let it through. `afterMonitorPower`
  // tells that the display was just switched on or off, which wakes the pointer and the activation
  // but is not the user.
  std::optional<LRESULT> Filter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, HWND mainWindow,
                                bool afterMonitorPower);

 private:
  std::optional<LRESULT> PointerMoved(HWND hwnd, LPARAM lParam, HWND mainWindow, bool afterMonitorPower);
  // Posts the close once; the message itself is still processed as usual.
  void Close(HWND hwnd, UINT message, HWND mainWindow, bool afterMonitorPower);

  POINT mCursor{0, 0};
  bool mCursorKnown = false;
  int mMoves = 0;
  bool mClosing = false;
};

}  // namespace Velk
