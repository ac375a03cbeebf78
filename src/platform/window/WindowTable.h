#pragma once
// Every window class and window of the process, with the state the window calls answer from:
// placement, show state, user data, and which window is active, focused or holds the capture.
// The cursor thread reads it too, so each access takes the table's lock.

#include "platform/window/WinUser.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Velk {

struct WindowClass {
  std::wstring name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HCURSOR cursor = nullptr;
};

struct Window {
  HWND hwnd = nullptr;
  WindowClass windowClass;
  std::wstring title;
  DWORD style = 0;
  DWORD exStyle = 0;
  // Outer rectangle: on the screen for a top-level window, in its parent's client area for a child,
  // so that a child goes wherever its parent is put.
  RECT rect;
  RECT normalRect;  // outer rectangle when neither minimised nor maximised
  bool visible = false;
  bool minimized = false;
  bool maximized = false;
  bool destroying = false;
  bool enabled = true;
  LONG_PTR userData = 0;
  HWND parent = nullptr;  // child windows (WS_CHILD) only
  int id = 0;             // a child's control id
};

class WindowTable {
 public:
  static WindowTable& Instance();

  // 0 when a class of that name (compared without case) is already registered.
  ATOM RegisterClass(const WindowClass& windowClass);
  std::optional<WindowClass> FindClass(const std::wstring& name) const;

  HWND Add(Window window);
  void Remove(HWND hwnd);
  std::optional<Window> Get(HWND hwnd) const;
  // Runs `change` on the window under the lock; false when there is no such window.
  bool Update(HWND hwnd, const std::function<void(Window&)>& change);
  // Windows in creation order.
  std::vector<HWND> All() const;

  HWND Active() const;
  HWND Focus() const;
  HWND Capture() const;
  void SetActive(HWND hwnd);
  void SetFocus(HWND hwnd);
  void SetCapture(HWND hwnd);

  // Forgets every window and class; the window system starts over.
  void Clear();

 private:
  mutable std::recursive_mutex lock_;
  std::map<std::wstring, WindowClass> classes_;  // keyed by the lower-cased name
  std::map<uintptr_t, Window> windows_;          // handles grow, so this is creation order
  uintptr_t nextHandle_ = 0x10000;
  ATOM nextAtom_ = 0xC000;
  HWND active_ = nullptr;
  HWND focus_ = nullptr;
  HWND capture_ = nullptr;
};

// The frame that AdjustWindowRect adds and the client area of a window sits in.
RECT WindowFrame(DWORD style);
// The client area of a window of that style and outer rectangle, in the rectangle's coordinates.
RECT ClientArea(const RECT& outer, DWORD style);
// Where the window is on the screen now: a child's rectangles follow its parent's client area.
RECT WindowRectOnScreen(const Window& window);
RECT ClientRectOnScreen(const Window& window);

}  // namespace Velk
