#include "app/CrashReportWindow.h"

#include "app/CrashWindowKit.h"
#include "platform/base/PlatformText.h"
#include "platform/files/AtomicFile.h"

#include <cstdlib>

namespace Velk {

namespace {

const wchar_t* const kCrashMessage = L"An unexpected error has occured!";
constexpr int kMessageId = 1;
constexpr int kReportId = 2;
constexpr int kSendId = 3;
constexpr int kCloseId = 4;

std::atomic<bool> gDone{false};
bool gSend = false;

LRESULT ReportProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    gDone = true;
    return 0;
  }
  if (message != WM_COMMAND) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (LOWORD(wParam) == kSendId) gSend = gDone = true;
  if (LOWORD(wParam) == kCloseId) gDone = true;
  return 0;
}

// For tests that watch the window from outside: the text the report control shows.
void KeepShownText(HWND control) {
  const char* path = std::getenv(CrashReportWindow::kShownTextVariable);
  if (!path || !*path) return;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  WriteFileAtomically(path, PlatformText::Utf16ToUtf8(text));
}

}  // namespace

HWND CrashReportWindow::Create(const std::string& report, bool offerSend, bool sendEnabled) {
  using Kit = CrashWindowKit;
  HWND window = Kit::MakeWindow(L"SEHWindow", &ReportProc, L"Fatal Error!", 64, 64, 400, 300);
  if (!window) return nullptr;
  const HFONT buttons = Kit::Font("Tahoma", 8, false);
  Kit::MakeChild(window, L"EDIT", kCrashMessage, ES_MULTILINE | ES_READONLY, kMessageId, 8, 8, 384, 84,
                 Kit::Font("Arial", 9, true));
  Kit::MakeChild(window, L"EDIT", PlatformText::Latin1ToUtf16(report).c_str(),
                 ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, kReportId, 8, 92, 384, 168,
                 Kit::Font("Courier New", 8, false));
  if (offerSend) {
    Kit::MakeChild(window, L"BUTTON", L"Send Report", sendEnabled ? 0 : WS_DISABLED, kSendId, 8, 268, 188, 24, buttons);
    Kit::MakeChild(window, L"BUTTON", L"Close Now", 0, kCloseId, 204, 268, 188, 24, buttons);
  } else {
    Kit::MakeChild(window, L"BUTTON", L"Close Now", 0, kCloseId, 8, 268, 384, 24, buttons);
  }
  return window;
}

CrashReportWindow::Choice CrashReportWindow::Show(const std::string& report, bool offerSend, bool sendEnabled) {
  HWND window = Create(report, offerSend, sendEnabled);
  if (!window) return kNotShown;
  HWND text = GetDlgItem(window, kReportId);
  gDone = false;
  gSend = false;
  ShowWindow(window, SW_SHOW);
  KeepShownText(text);
  SetForegroundWindow(window);
  SetFocus(text);
  CrashWindowKit::RunLoop(gDone);
  DestroyWindow(window);
  return gSend ? kSend : kClosed;
}

}  // namespace Velk
