// The message queue calls: posting, sending, the pump, registered messages and timers.

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"
#include "platform/clock/Clock.h"
#include "platform/process/CloseSignals.h"
#include "platform/window/ChildInput.h"
#include "platform/window/ControlPainter.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowTable.h"

#include <map>
#include <mutex>

using Velk::Backend;
using Velk::MessageQueue;
using Velk::WindowTable;

namespace {

// GetMessage never waits longer than this for native events, so timers stay on time.
constexpr DWORD kMaxWaitMs = 10;

WNDPROC ProcOf(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  return w ? w->windowClass.proc : nullptr;
}

// A close that a signal asked for goes where the close box's would: the first shown top-level
// window, else the first top-level one; with no window yet it waits for one.
void PostSignalledClose() {
  if (!Velk::CloseSignals::TakeRequest()) return;
  HWND target = nullptr;
  for (HWND each : WindowTable::Instance().All()) {
    auto w = WindowTable::Instance().Get(each);
    if (!w || (w->style & WS_CHILD)) continue;
    if (w->visible) {
      target = each;
      break;
    }
    if (!target) target = each;
  }
  if (target)
    Backend::Get().Input().Close(target);
  else
    Velk::CloseSignals::PutBack();
}

}  // namespace

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (!msg) return FALSE;
  // Events that came before the signal go first, as they would before a click on the close box: a
  // window moved just before is closed where it was left.
  Backend::Get().PumpEvents();
  PostSignalledClose();
  Velk::ControlPainter::PresentChanged();
  auto taken = MessageQueue::Instance().Take(hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0);
  if (!taken) return FALSE;
  *msg = *taken;
  return TRUE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg || (hwnd && !IsWindow(hwnd))) return -1;
  while (!PeekMessageW(msg, hwnd, filterMin, filterMax, PM_REMOVE)) {
    DWORD wait = MessageQueue::Instance().UntilNextTimer().value_or(kMaxWaitMs);
    Backend::Get().WaitEvents(std::min(std::max<DWORD>(wait, 1), kMaxWaitMs));
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

// Characters come from the back end's text events already, so there is nothing to add here.
BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  return (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP) ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  const MSG routed = Velk::ChildInput::Route(*msg);
  WNDPROC proc = ProcOf(routed.hwnd);
  return proc ? proc(routed.hwnd, routed.message, routed.wParam, routed.lParam) : 0;
}

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the window to close.
      if (wParam == VK_F4 && (static_cast<uint32_t>(lParam) & (1u << 29))) {
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Velk::ControlPainter::Invalidate(hwnd);
      return 0;
    default:
      return 0;
  }
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND each : WindowTable::Instance().All())
      MessageQueue::Instance().Post(Velk::MakeMessage(each, message, wParam, lParam));
    return TRUE;
  }
  // A null window posts to the thread; anything else must be a live window.
  if (hwnd && !IsWindow(hwnd)) return FALSE;
  MessageQueue::Instance().Post(Velk::MakeMessage(hwnd, message, wParam, lParam));
  return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND each : WindowTable::Instance().All()) SendMessageW(each, message, wParam, lParam);
    return 0;
  }
  WNDPROC proc = ProcOf(hwnd);
  return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode) { PostMessageW(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

UINT RegisterWindowMessageW(LPCWSTR name) {
  static std::mutex lock;
  static std::map<std::wstring, UINT> registered;
  if (!name || !*name) return 0;
  std::wstring key = Velk::PlatformText::LowerAscii(name);
  std::lock_guard guard(lock);
  auto [it, added] = registered.emplace(key, 0);
  if (added) it->second = 0xC000 + static_cast<UINT>(registered.size() - 1);
  return it->second;
}

UINT RegisterWindowMessageA(LPCSTR name) {
  if (!name) return 0;
  return RegisterWindowMessageW(Velk::PlatformText::Latin1ToUtf16(name).c_str());
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
  if (!IsWindow(hwnd)) return 0;
  MessageQueue::Instance().SetTimer(hwnd, id, elapseMs);
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return MessageQueue::Instance().KillTimer(hwnd, id) ? TRUE : FALSE; }
