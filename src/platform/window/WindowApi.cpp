// Window classes, windows, placement, activation, capture and the pointer position.

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"
#include "platform/window/ControlStates.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SystemControls.h"
#include "platform/window/WindowTable.h"

using Velk::Backend;
using Velk::Window;
using Velk::WindowTable;

namespace {

std::wstring Widen(LPCSTR s) { return s ? Velk::PlatformText::Latin1ToUtf16(s) : std::wstring(); }

ATOM Register(UINT style, WNDPROC proc, HCURSOR cursor, std::wstring name) {
  if (!proc || name.empty()) return 0;
  return WindowTable::Instance().RegisterClass(Velk::WindowClass{std::move(name), style, proc, cursor});
}

bool Activates(int cmd) {
  return cmd == SW_SHOWNORMAL || cmd == SW_SHOW || cmd == SW_SHOWMAXIMIZED || cmd == SW_RESTORE;
}

bool Deactivates(int cmd) {
  return cmd == SW_HIDE || cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
}

// The normal rectangle with the frame the desktop really draws, so that a position kept from it
// and handed back to CreateWindow puts the window where it was.
RECT NormalRectOnDesktop(HWND hwnd, const Window& w) {
  if (w.style & WS_CHILD) return w.normalRect;
  const std::optional<RECT> native = Backend::Get().NativeFrame(hwnd);
  if (!native) return w.normalRect;
  const RECT frame = Velk::WindowFrame(w.style);
  return RECT{w.normalRect.left + frame.left - native->left, w.normalRect.top + frame.top - native->top,
              w.normalRect.right - frame.right + native->right, w.normalRect.bottom - frame.bottom + native->bottom};
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc || !wc->lpszClassName) return 0;
  return Register(wc->style, wc->lpfnWndProc, wc->hCursor, wc->lpszClassName);
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName) return 0;
  return Register(wc->style, wc->lpfnWndProc, wc->hCursor, Widen(wc->lpszClassName));
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE, LPVOID) {
  if (!className) return nullptr;
  auto windowClass = WindowTable::Instance().FindClass(className);
  if (!windowClass) windowClass = Velk::SystemControlClass(className);
  const bool child = (style & WS_CHILD) != 0;
  if (!windowClass || (child && !IsWindow(parent))) return nullptr;
  if (x == CW_USEDEFAULT) x = y = 64;
  if (width == CW_USEDEFAULT) width = height = 0;
  Window window;
  window.windowClass = *windowClass;
  window.title = title ? title : L"";
  window.style = style & ~WS_VISIBLE;
  window.exStyle = exStyle;
  window.enabled = (style & WS_DISABLED) == 0;
  if (child) {
    window.parent = parent;
    window.id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
  }
  window.rect = RECT{x, y, x + width, y + height};
  window.normalRect = window.rect;
  HWND hwnd = WindowTable::Instance().Add(window);

  RECT client = Velk::ClientRectOnScreen(window);
  // A window without a client area (the hidden helper window) is a handle only; so is a child,
  // which lives in its parent's native window.
  bool native = !child && client.right > client.left && client.bottom > client.top;
  if (native && !Backend::Get().CreateNativeWindow(hwnd, window.title, client, style)) {
    WindowTable::Instance().Remove(hwnd);
    return nullptr;
  }
  // The creation data pointer does not fit a 32-bit lParam; nothing here reads it.
  if (SendMessageW(hwnd, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!className) return nullptr;
  std::wstring wideTitle = Widen(title);
  return CreateWindowExW(exStyle, Widen(className).c_str(), wideTitle.c_str(), style, x, y, width, height, parent, menu,
                         instance, param);
}

BOOL DestroyWindow(HWND hwnd) {
  auto& table = WindowTable::Instance();
  bool proceed = false;
  table.Update(hwnd, [&](Window& w) {
    proceed = !w.destroying;
    w.destroying = true;
  });
  if (!proceed) return FALSE;
  for (HWND each : table.All()) {
    auto w = table.Get(each);
    if (w && w->parent == hwnd) DestroyWindow(each);
  }
  if (table.Capture() == hwnd) ReleaseCapture();
  if (table.Active() == hwnd) Backend::Get().Input().Activate(hwnd, false);
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  Backend::Get().DestroyNativeWindow(hwnd);
  Velk::MessageQueue::Instance().Forget(hwnd);
  Velk::ControlStates::Instance().Forget(hwnd);
  table.Remove(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return WindowTable::Instance().Get(hwnd) ? TRUE : FALSE; }

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  LONG_PTR previous = 0;
  WindowTable::Instance().Update(hwnd, [&](Window& w) {
    if (index == GWLP_USERDATA) {
      previous = w.userData;
      w.userData = value;
    }
  });
  return previous;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_USERDATA:
      return w->userData;
    case GWL_STYLE:
      return static_cast<LONG_PTR>(w->style | (w->visible ? WS_VISIBLE : 0));
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->windowClass.proc);
    default:
      return 0;
  }
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto& table = WindowTable::Instance();
  auto before = table.Get(hwnd);
  if (!before) return FALSE;
  auto& input = Backend::Get().Input();
  table.Update(hwnd, [&](Window& w) { w.visible = cmd != SW_HIDE; });
  if (before->style & WS_CHILD) return before->visible ? TRUE : FALSE;
  Backend::Get().ShowNativeWindow(hwnd, cmd);
  switch (cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      input.Size(hwnd, SIZE_MINIMIZED);
      break;
    case SW_MAXIMIZE:
      input.Size(hwnd, SIZE_MAXIMIZED);
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE:
      if (before->minimized || before->maximized) input.Size(hwnd, SIZE_RESTORED);
      break;
    default:
      break;
  }
  if (!Backend::Get().ReportsFocus()) {
    if (Deactivates(cmd)) {
      input.Activate(hwnd, false);
    } else if (Activates(cmd)) {
      input.Activate(hwnd, true);
    }
  }
  return before->visible ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !placement) return FALSE;
  placement->flags = 0;
  placement->showCmd = w->minimized ? SW_SHOWMINIMIZED : w->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement->ptMinPosition = POINT{-1, -1};
  placement->ptMaxPosition = POINT{-1, -1};
  placement->rcNormalPosition = NormalRectOnDesktop(hwnd, *w);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
  RECT old{};
  Window moved;
  bool found = WindowTable::Instance().Update(hwnd, [&](Window& w) {
    old = w.rect;
    w.rect = RECT{x, y, x + width, y + height};
    if (!w.minimized && !w.maximized) w.normalRect = w.rect;
    moved = w;
  });
  if (!found) return FALSE;
  Backend::Get().PlaceNativeWindow(hwnd, Velk::ClientRectOnScreen(moved));
  // As on Windows, the procedure hears about the change before the call returns, a child in its
  // parent's client coordinates.
  const RECT client = Velk::ClientArea(moved.rect, moved.style);
  if (old.left != x || old.top != y) SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
  if (old.right - old.left != width || old.bottom - old.top != height) {
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
  return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL) {
  if (!rect) return FALSE;
  RECT frame = Velk::WindowFrame(style);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !rect) return FALSE;
  *rect = Velk::WindowRectOnScreen(*w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !rect) return FALSE;
  RECT client = Velk::ClientRectOnScreen(*w);
  *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !pt) return FALSE;
  RECT client = Velk::ClientRectOnScreen(*w);
  pt->x += client.left;
  pt->y += client.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !pt) return FALSE;
  RECT client = Velk::ClientRectOnScreen(*w);
  pt->x -= client.left;
  pt->y -= client.top;
  return TRUE;
}

HWND SetFocus(HWND hwnd) {
  auto& table = WindowTable::Instance();
  HWND previous = table.Focus();
  auto w = hwnd ? table.Get(hwnd) : std::nullopt;
  if (hwnd && !w) return nullptr;
  table.SetFocus(hwnd);
  // The window gives the focus back to this child when it gets it again.
  if (w && w->parent)
    Velk::ControlStates::Instance().Update(w->parent, [&](Velk::ControlState& s) { s.focusChild = hwnd; });
  return previous;
}

HWND GetFocus() { return WindowTable::Instance().Focus(); }

HWND GetActiveWindow() { return WindowTable::Instance().Active(); }

BOOL SetForegroundWindow(HWND hwnd) {
  if (!WindowTable::Instance().Get(hwnd)) return FALSE;
  Backend::Get().RaiseNativeWindow(hwnd);
  if (!Backend::Get().ReportsFocus()) Backend::Get().Input().Activate(hwnd, true);
  return TRUE;
}

HWND GetForegroundWindow() { return WindowTable::Instance().Active(); }

HWND SetCapture(HWND hwnd) {
  auto& table = WindowTable::Instance();
  HWND previous = table.Capture();
  if (!table.Get(hwnd)) return previous;
  table.SetCapture(hwnd);
  if (!previous) Backend::Get().CaptureMouse(true);
  return previous;
}

BOOL ReleaseCapture() {
  auto& table = WindowTable::Instance();
  if (table.Capture()) Backend::Get().CaptureMouse(false);
  table.SetCapture(nullptr);
  return TRUE;
}

HWND GetCapture() { return WindowTable::Instance().Capture(); }

BOOL GetCursorPos(POINT* pt) {
  if (!pt) return FALSE;
  *pt = Backend::Get().Input().CursorPos();
  return TRUE;
}

HWND WindowFromPoint(POINT pt) {
  auto& input = Backend::Get().Input();
  POINT cursor = input.CursorPos();
  // At the pointer itself only the back end knows whether another program's window covers ours.
  bool atCursor = cursor.x == pt.x && cursor.y == pt.y;
  auto all = WindowTable::Instance().All();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    auto w = WindowTable::Instance().Get(*it);
    if (!w || !w->visible || w->minimized) continue;
    const RECT r = Velk::WindowRectOnScreen(*w);
    bool inside = pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
    if (!inside) continue;
    if (atCursor && input.MouseWindow() != w->hwnd) return nullptr;
    return w->hwnd;
  }
  return nullptr;
}
