#include "app/CrashSubmit.h"

#include "app/CrashWindowKit.h"
#include "app/HTTPTransfer.h"
#include "common/StringUtil.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/window/WinUser.h"

#include <atomic>

namespace Velk {

namespace {

const wchar_t* const kDetailsRequest = L"Please help out by providing as much information as you can about this crash.";
const wchar_t* const kConnectFailed = L"Failed to connect to server.";
const wchar_t* const kPleaseWait = L"Please Wait";
constexpr int kContinueId = 1;
constexpr int kAbortId = 2;
constexpr int kCommentId = 3;
constexpr int kProgressTextId = 4;
constexpr UINT_PTR kPollTimer = 0;
constexpr UINT_PTR kDotTimer = 1;

// The windows' state: one crash, one thread.
std::atomic<bool> gDone{false};
bool gContinue = false;
int gDots = 0;
std::string gHost;
std::string gRequest;

HTTPTransfer& Transfer() {
  static HTTPTransfer transfer;
  return transfer;
}

LRESULT DetailsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    gDone = true;
    return 0;
  }
  if (message != WM_COMMAND) return DefWindowProcW(hwnd, message, wParam, lParam);
  gContinue = LOWORD(wParam) == kContinueId;
  gDone = gContinue || LOWORD(wParam) == kAbortId;
  return 0;
}

void StartUpload() { Transfer().SendRequest(gHost, gRequest); }

// 0 and 5 end the window; in progress and idle wait; anything else offers to try again.
void PollTransfer(HWND hwnd) {
  const int result = Transfer().GetResult();
  if (result == HTTPTransfer::kIdle || result == HTTPTransfer::kInProgress) return;
  if (result == HTTPTransfer::kCompleted || result == HTTPTransfer::kAborted) {
    gDone = true;
    return;
  }
  Transfer().Reset();
  if (MessageBoxW(hwnd, kConnectFailed, L"Connection Failed", MB_RETRYCANCEL) == IDRETRY) {
    StartUpload();
  } else {
    gDone = true;
  }
}

void ShowDots(HWND hwnd) {
  std::wstring text = kPleaseWait;
  const int dots = ++gDots % 10;
  for (int i = 0; i < dots; ++i) text += L" .";
  SetWindowTextW(GetDlgItem(hwnd, kProgressTextId), text.c_str());
}

LRESULT ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      wParam == kDotTimer ? ShowDots(hwnd) : PollTransfer(hwnd);
      return 0;
    case WM_CLOSE:
      Transfer().Abort();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kAbortId) Transfer().Abort();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void CrashSubmit::Run(const std::string& host, CrashUploadFields fields, bool withApplication) {
  if (!AskDetails(withApplication, fields.userText)) return;
  Upload(host, CrashUpload::BuildRequest(host, CrashUpload::BuildBody(fields)));
}

HWND CrashSubmit::MakeDetailsWindow(bool withApplication) {
  using Kit = CrashWindowKit;
  HWND window = Kit::MakeWindow(L"SubmitInfoWindow", &DetailsProc, L"Error Details", 80, 80, 400, 300);
  if (!window) return nullptr;
  const HFONT text = Kit::Font("Tahoma", 8, false);
  Kit::MakeChild(window, L"EDIT", kDetailsRequest, ES_MULTILINE | ES_READONLY, 0, 8, 8, 384, 84,
                 Kit::Font("Arial", 9, true));
  Kit::MakeChild(window, L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL, kCommentId, 8, 92, 384,
                 168, text);
  Kit::MakeChild(window, L"BUTTON", L"Continue", withApplication ? 0 : WS_DISABLED, kContinueId, 8, 268, 188, 24, text);
  Kit::MakeChild(window, L"BUTTON", L"Abort", 0, kAbortId, 204, 268, 188, 24, text);
  return window;
}

bool CrashSubmit::AskDetails(bool withApplication, std::string& userText) {
  HWND window = MakeDetailsWindow(withApplication);
  if (!window) return false;
  HWND comment = GetDlgItem(window, kCommentId);
  ShowWindow(window, SW_SHOW);
  SetFocus(comment);
  gDone = false;
  gContinue = false;
  CrashWindowKit::RunLoop(gDone);
  if (gContinue) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(comment)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(comment, text.data(), static_cast<int>(text.size()))));
    userText = Narrow(text.substr(0, kMaxUserText));
  }
  DestroyWindow(window);
  return gContinue;
}

HWND CrashSubmit::MakeProgressWindow() {
  using Kit = CrashWindowKit;
  HWND window = Kit::MakeWindow(L"SEHProgressWindow", &ProgressProc, L"Submitting Report", 64, 64, 240, 64);
  if (!window) return nullptr;
  Kit::MakeChild(window, L"STATIC", kPleaseWait, 0, kProgressTextId, 24, 10, 224, 24, Kit::Font("Tahoma", 10, true));
  Kit::MakeChild(window, L"BUTTON", L"Abort", 0, kAbortId, 72, 36, 96, 22, Kit::Font("Tahoma", 8, false));
  return window;
}

void CrashSubmit::Upload(const std::string& host, const std::string& request) {
  HWND window = MakeProgressWindow();
  if (!window) return;
  SetTimer(window, kPollTimer, 20, nullptr);
  SetTimer(window, kDotTimer, 1000, nullptr);
  gDone = false;
  gDots = 0;
  gHost = host;
  gRequest = request;
  ShowWindow(window, SW_SHOW);
  StartUpload();
  CrashWindowKit::RunLoop(gDone);
  // The transfer's thread has set its last result; it is joined here, so that nothing of the road
  // outlives it into the process's end.
  Transfer().Reset();
  DestroyWindow(window);
}

}  // namespace Velk
