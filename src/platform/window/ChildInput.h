#pragma once
// Input for child windows: the back end reports the pointer and the keys on the top-level window;
// as on Windows, a mouse message goes to the child under the pointer (to the one a button went down
// on, until it comes up), in that child's coordinates, the wheel to the child under the pointer, and
// keys to the child that has the focus.

#include "platform/window/WinUser.h"

namespace Velk {

class ChildInput {
 public:
  // The message as the window it is meant for receives it; `msg` itself when that is its window.
  static MSG Route(const MSG& msg);
  // The child of `topLevel` with the keyboard focus: the focus itself, or the child that had it
  // last while the window itself has it; null when none.
  static HWND FocusedChild(HWND topLevel);

 private:
  static HWND ChildAt(HWND topLevel, POINT client, POINT& childPoint);
  static MSG RouteMouse(const MSG& msg);
};

}  // namespace Velk
