#include "app/ScreenSaverFilter.h"

namespace Velk {

namespace {

// A pointer that only trembles, or settles once after start, does not end the saver.
constexpr int kMovesToClose = 4;

bool IsWakeSideEffect(UINT message) {
  switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case WM_MOUSEMOVE:
    case WM_CLOSE:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<LRESULT> ScreenSaverFilter::Filter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, HWND mainWindow,
                                                 bool afterMonitorPower) {
  if (mClosing) return std::nullopt;
  // The window is made before the application is attached to it, so its creation is not always
  // seen here: the first message stands in for it.
  if (!mCursorKnown) {
    GetCursorPos(&mCursor);
    mCursorKnown = true;
  }
  switch (message) {
    case WM_SYSCOMMAND:
      if (wParam == SC_CLOSE || wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE) {
        return 0;
      }
      return std::nullopt;
    case WM_MOUSEMOVE:
      return PointerMoved(hwnd, lParam, mainWindow, afterMonitorPower);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CLOSE:
      Close(hwnd, message, mainWindow, afterMonitorPower);
      return std::nullopt;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
      if (wParam == 0) Close(hwnd, message, mainWindow, afterMonitorPower);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<LRESULT> ScreenSaverFilter::PointerMoved(HWND hwnd, LPARAM lParam, HWND mainWindow,
                                                       bool afterMonitorPower) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd, &at);
  if (at.x != mCursor.x || at.y != mCursor.y) {
    mCursor = at;
    ++mMoves;
  }
  if (mMoves < kMovesToClose) return 0;
  Close(hwnd, WM_MOUSEMOVE, mainWindow, afterMonitorPower);
  return std::nullopt;
}

void ScreenSaverFilter::Close(HWND hwnd, UINT message, HWND mainWindow, bool afterMonitorPower) {
  if (hwnd != mainWindow) return;
  if (afterMonitorPower && IsWakeSideEffect(message)) return;
  mClosing = true;
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

}  // namespace Velk
