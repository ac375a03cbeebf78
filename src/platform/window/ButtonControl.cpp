#include "platform/window/ButtonControl.h"

#include "platform/window/ControlStates.h"
#include "platform/window/WindowTable.h"

namespace Velk {

namespace {

bool Over(HWND hwnd, LPARAM lParam) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w) return false;
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  return x >= 0 && y >= 0 && x < w->rect.right - w->rect.left && y < w->rect.bottom - w->rect.top;
}

}  // namespace

LRESULT ButtonControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& states = ControlStates::Instance();
  if (states.Common(hwnd, message, wParam)) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
      if (IsWindowEnabled(hwnd)) states.Update(hwnd, [](ControlState& s) { s.tracking = s.pressed = true; });
      return 0;
    case WM_MOUSEMOVE:
      states.Update(hwnd, [&](ControlState& s) { s.pressed = s.tracking && Over(hwnd, lParam); });
      return 0;
    case WM_LBUTTONUP: {
      // A release that no press on it went before (a message posted to it) clicks too.
      const ControlState state = states.Get(hwnd);
      states.Update(hwnd, [](ControlState& s) { s.tracking = s.pressed = false; });
      if (!state.tracking || Over(hwnd, lParam)) Click(hwnd);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_SPACE) Click(hwnd);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void ButtonControl::Click(HWND hwnd) {
  auto w = WindowTable::Instance().Get(hwnd);
  if (!w || !w->enabled || !w->parent) return;
  // Handles are small numbers here, so one fits the 32-bit lParam.
  SendMessageW(w->parent, WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(w->id)) | (BN_CLICKED << 16),
               static_cast<LPARAM>(reinterpret_cast<uintptr_t>(hwnd)));
}

}  // namespace Velk
