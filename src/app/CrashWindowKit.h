#pragma once
// What the crash windows are made of: a top-level window of a class of its own with a client area of
// the given size, its child controls in their fonts, and the message loop each window runs until
// it is done.
#include "platform/gdi/Gdi.h"
#include "platform/window/WinUser.h"

#include <atomic>

namespace Velk {

class CrashWindowKit {
 public:
  static constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

  // A hidden window whose client area is `width` x `height` at (x, y).
  static HWND MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title, int x, int y, int width,
                         int height);
  static HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y,
                        int width, int height, HFONT font);
  // The font of that face and size in points, made once.
  static HFONT Font(const char* face, int points, bool bold);
  // Dispatches whatever comes until `done` is set.
  static void RunLoop(const std::atomic<bool>& done);
};

}  // namespace Velk
