#pragma once
// The system's "BUTTON" control (a push button): pressed while the left button is held on it, it
// sends WM_COMMAND (id, BN_CLICKED) to its parent, with its handle as lParam, when the button is let
// go over it while it is enabled. Space does the same while it has the focus.

#include "platform/window/WinUser.h"

namespace Velk {

class ButtonControl {
 public:
  static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static void Click(HWND hwnd);
};

}  // namespace Velk
