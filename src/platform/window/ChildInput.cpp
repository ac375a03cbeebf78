#include "platform/window/ChildInput.h"

#include "platform/window/ControlStates.h"
#include "platform/window/WindowTable.h"

#include <atomic>

namespace Velk {

namespace {

// The child the left button went down on, while it is held.
std::atomic<HWND> gHeld{nullptr};

bool IsMouse(UINT message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK; }
bool IsKey(UINT message) { return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR; }

LPARAM PointParam(POINT pt) { return MAKELPARAM(pt.x, pt.y); }

// `client` of the parent in the child's own coordinates.
POINT InChild(const Window& child, POINT client) {
  return POINT{client.x - child.rect.left, client.y - child.rect.top};
}

}  // namespace

MSG ChildInput::Route(const MSG& msg) {
  if (!msg.hwnd || GetParent(msg.hwnd)) return msg;
  MSG routed = msg;
  if (IsKey(msg.message)) {
    if (HWND focus = FocusedChild(msg.hwnd)) routed.hwnd = focus;
  } else if (msg.message == WM_MOUSEWHEEL) {
    POINT client{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    ScreenToClient(msg.hwnd, &client);
    POINT unused;
    HWND target = ChildAt(msg.hwnd, client, unused);
    if (!target) target = FocusedChild(msg.hwnd);
    if (target) routed.hwnd = target;
  } else if (IsMouse(msg.message)) {
    routed = RouteMouse(msg);
  }
  return routed;
}

MSG ChildInput::RouteMouse(const MSG& msg) {
  MSG routed = msg;
  const POINT client{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
  HWND held = gHeld.load();
  auto heldWindow = held ? WindowTable::Instance().Get(held) : std::nullopt;
  POINT point;
  HWND target = nullptr;
  if (heldWindow && heldWindow->parent == msg.hwnd) {
    target = held;
    point = InChild(*heldWindow, client);
  } else {
    target = ChildAt(msg.hwnd, client, point);
  }
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) gHeld = target;
  if (msg.message == WM_LBUTTONUP) gHeld = nullptr;
  if (!target) return msg;
  routed.hwnd = target;
  routed.lParam = PointParam(point);
  // A double click on a control without double clicks is a second press.
  if (msg.message == WM_LBUTTONDBLCLK) routed.message = WM_LBUTTONDOWN;
  return routed;
}

HWND ChildInput::ChildAt(HWND topLevel, POINT client, POINT& childPoint) {
  auto& table = WindowTable::Instance();
  HWND found = nullptr;
  for (HWND each : table.All()) {
    auto w = table.Get(each);
    if (!w || w->parent != topLevel || !w->visible) continue;
    const POINT local = InChild(*w, client);
    if (local.x < 0 || local.y < 0 || local.x >= w->rect.right - w->rect.left ||
        local.y >= w->rect.bottom - w->rect.top)
      continue;
    found = each;  // the last made lies on top
    childPoint = local;
  }
  return found;
}

HWND ChildInput::FocusedChild(HWND topLevel) {
  HWND focus = WindowTable::Instance().Focus();
  if (focus && GetParent(focus) == topLevel) return focus;
  if (focus != topLevel) return nullptr;
  HWND last = ControlStates::Instance().Get(topLevel).focusChild;
  return last && GetParent(last) == topLevel ? last : nullptr;
}

}  // namespace Velk
