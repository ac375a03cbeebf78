// Until the application object takes over, the entry opens the game's 800 x 600 window and runs
// its message loop until the window is closed.

#include "platform/metrics/SystemMetrics.h"
#include "platform/window/WinUser.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr DWORD kWindowedStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND OpenMainWindow() {
  WNDCLASSW wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.lpszClassName = L"MainWindow";
  if (!RegisterClassW(&wc)) return nullptr;

  RECT outer{0, 0, kWidth, kHeight};
  AdjustWindowRect(&outer, kWindowedStyle, FALSE);
  int w = outer.right - outer.left;
  int h = outer.bottom - outer.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = work.left + (work.right - work.left - w) / 2;
  int y = work.top + static_cast<int>(0.382 * (work.bottom - work.top - h));
  return CreateWindowExW(0, L"MainWindow", L"Pelune Cafe", kWindowedStyle, x, y, w, h, nullptr, nullptr, nullptr,
                         nullptr);
}

}  // namespace

int main() {
  HWND hwnd = OpenMainWindow();
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
