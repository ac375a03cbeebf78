#include "app/CrashSubmit.h"

#include "app/HTTPTransfer.h"
#include "common/StringUtil.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/window/WinUser.h"

#include <atomic>

namespace Velk {

namespace {

const wchar_t* const kDetailsRequest =
    L"Please help out by providing as much information as you can about this crash.";
const wchar_t* const kConnectFailed = L"Failed to connect to server.";
const wchar_t* const kPleaseWait = L"Please Wait";
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
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

HWND MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title, int x, int y, int width,
                int height) {
  WNDCLASSW windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);  // a second crash finds it registered
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, kWindowStyle, FALSE);
  return CreateWindowExW(0, className, title, kWindowStyle, x, y, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
}

HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y,
               int width, int height) {
  return CreateWindowExW(0, className, text, kChildStyle | style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

// The window's own loop; it dispatches whatever the thread gets until the window is done.
void RunLoop() {
  MSG msg;
  while (!gDone && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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

bool CrashSubmit::AskDetails(bool withApplication, std::string& userText) {
  HWND window = MakeWindow(L"SubmitInfoWindow", &DetailsProc, L"Error Details", 80, 80, 400, 300);
  if (!window) return false;
  MakeChild(window, L"EDIT", kDetailsRequest, ES_MULTILINE | ES_READONLY, 0, 8, 8, 384, 84);
  HWND comment = MakeChild(window, L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL,
                           kCommentId, 8, 92, 384, 168);
  MakeChild(window, L"BUTTON", L"Continue", withApplication ? 0 : WS_DISABLED, kContinueId, 8, 268, 188, 24);
  MakeChild(window, L"BUTTON", L"Abort", 0, kAbortId, 204, 268, 188, 24);
  ShowWindow(window, SW_SHOWNORMAL);
  SetFocus(comment);
  gDone = false;
  gContinue = false;
  RunLoop();
  if (gContinue) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(comment)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(comment, text.data(), static_cast<int>(text.size()))));
    userText = Narrow(text.substr(0, kMaxUserText));
  }
  DestroyWindow(window);
  return gContinue;
}

void CrashSubmit::Upload(const std::string& host, const std::string& request) {
  HWND window = MakeWindow(L"SEHProgressWindow", &ProgressProc, L"Submitting Report", 64, 64, 240, 64);
  if (!window) return;
  MakeChild(window, L"STATIC", kPleaseWait, 0, kProgressTextId, 24, 10, 224, 24);
  MakeChild(window, L"BUTTON", L"Abort", 0, kAbortId, 72, 36, 96, 22);
  SetTimer(window, kPollTimer, 20, nullptr);
  SetTimer(window, kDotTimer, 1000, nullptr);
  gDone = false;
  gDots = 0;
  gHost = host;
  gRequest = request;
  ShowWindow(window, SW_SHOWNORMAL);
  StartUpload();
  RunLoop();
  DestroyWindow(window);
}

}  // namespace Velk
