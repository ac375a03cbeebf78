// Until the application object takes over, the entry opens the game's 800 x 600 window, starts the
// display on it and presents frames until the window is closed.

#include <algorithm>
#include <memory>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/Graphics.h"
#include "platform/clock/Clock.h"
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

// The display's view of the application until the application object exists.
class EntryHost : public Velk::DisplayHost {
 public:
  Velk::DDInterface* display = nullptr;
  uint8_t saturation[512];

  EntryHost() {
    for (int i = 0; i < 512; ++i) saturation[i] = static_cast<uint8_t>(std::min(i, 255));
  }
  void RegisterMemoryImage(Velk::MemoryImage*) override {}
  void UnregisterMemoryImage(Velk::MemoryImage*) override {}
  void ReleaseImageTextures(Velk::MemoryImage*) override {}
  bool ReadBackTextures(Velk::MemoryImage*, uint32_t*) override { return false; }
  bool Is3DModeOn() override { return false; }
  Velk::NativeDisplay* GetNativeDisplay() override { return display; }
  const uint8_t* GetSaturationTable() override { return saturation; }
};

// A moving band over a gradient, so that presented frames are visible.
void DrawFrame(Velk::DDImage* screen, DWORD ms) {
  Velk::Graphics g(screen);
  for (int y = 0; y < kHeight; y += 20) {
    g.SetColor(Velk::Color(20, 40 + y * 150 / kHeight, 90));
    g.FillRect(0, y, kWidth, 20);
  }
  g.SetColor(Velk::Color(240, 200, 60));
  g.FillRect(static_cast<int>(ms / 4 % (kWidth - 100)), kHeight / 2 - 50, 100, 100);
}

}  // namespace

int main() {
  HWND hwnd = OpenMainWindow();
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  EntryHost host;
  Velk::DDInterface display(&host);
  host.display = &display;
  const bool shown = display.Init(hwnd, true) == Velk::DDInterface::RESULT_OK;
  MSG msg;
  for (;;) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 0;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (shown) {
      DrawFrame(display.GetScreenImage(), GetTickCount());
      display.Present(nullptr);
    }
    Sleep(static_cast<DWORD>(display.mMillisecondsPerFrame));
  }
}
