#include "platform/window/InputTranslator.h"

#include "platform/base/PlatformText.h"
#include "platform/clock/Clock.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowTable.h"

namespace Velk {

namespace {

// Key message lParam: repeat count 1, context code (Alt held), previous state, transition.
LPARAM KeyLParam(bool alt, bool down, bool repeat) {
  uint32_t v = 1;
  if (alt) v |= 1u << 29;
  if (repeat || !down) v |= 1u << 30;
  if (!down) v |= 1u << 31;
  return static_cast<LPARAM>(v);
}

wchar_t ControlChar(UINT vk, KeyModifiers mods) {
  switch (vk) {
    case VK_RETURN:
      return 13;
    case VK_TAB:
      return 9;
    case VK_BACK:
      return 8;
    case VK_ESCAPE:
      return 27;
    default:
      break;
  }
  if (mods.ctrl && !mods.alt && vk >= 'A' && vk <= 'Z') return static_cast<wchar_t>(vk - 'A' + 1);
  return 0;
}

UINT DoubleClickOf(UINT down) { return down + 2; }

}  // namespace

void PostInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto window = WindowTable::Instance().Get(hwnd);
  if (!window) return;
  bool doubleClick = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
  if (doubleClick && !(window->windowClass.style & CS_DBLCLKS)) message -= 2;
  MessageQueue::Instance().Post(MakeMessage(hwnd, message, wParam, lParam));
}

WPARAM InputTranslator::MouseKeys() const {
  WPARAM keys = buttons_;
  if (modifiers_.shift) keys |= MK_SHIFT;
  if (modifiers_.ctrl) keys |= MK_CONTROL;
  return keys;
}

void InputTranslator::TrackPointer(HWND hwnd, int x, int y) {
  POINT pt{x, y};
  ClientToScreen(hwnd, &pt);
  cursor_.store((static_cast<int64_t>(pt.x) << 32) | static_cast<uint32_t>(pt.y));
  mouseWindow_.store(hwnd);
}

POINT InputTranslator::CursorPos() const {
  int64_t v = cursor_.load();
  return POINT{static_cast<LONG>(v >> 32), static_cast<LONG>(static_cast<int32_t>(v & 0xFFFFFFFF))};
}

void InputTranslator::MouseMove(HWND hwnd, int x, int y) {
  TrackPointer(hwnd, x, y);
  PostInput(hwnd, WM_MOUSEMOVE, MouseKeys(), MAKELPARAM(x, y));
}

void InputTranslator::MouseButton(HWND hwnd, Velk::MouseButton button, bool down, int x, int y, int clicks) {
  static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr WPARAM kMask[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
  int index = static_cast<int>(button);
  TrackPointer(hwnd, x, y);
  if (down) {
    buttons_ |= kMask[index];
  } else {
    buttons_ &= ~kMask[index];
  }
  UINT message = kDown[index];
  if (!down) {
    message += 1;
  } else if (clicks >= 2 && clicks % 2 == 0) {
    message = DoubleClickOf(message);
  }
  PostInput(hwnd, message, MouseKeys(), MAKELPARAM(x, y));
}

void InputTranslator::MouseWheel(HWND hwnd, int notches) {
  if (notches == 0) return;
  POINT pt = CursorPos();
  WPARAM wParam = MAKELONG(static_cast<WORD>(MouseKeys()), static_cast<WORD>(notches * WHEEL_DELTA));
  PostInput(hwnd, WM_MOUSEWHEEL, wParam, MAKELPARAM(pt.x, pt.y));
}

void InputTranslator::MouseEnter(HWND hwnd) { mouseWindow_.store(hwnd); }

void InputTranslator::MouseLeave(HWND hwnd) {
  if (mouseWindow_.load() == hwnd) mouseWindow_.store(nullptr);
}

void InputTranslator::Key(HWND hwnd, UINT vk, bool down, bool repeat) {
  if (vk == 0 || vk > 0xFE) return;
  // Windows sends the system variants while Alt is held without Ctrl (Alt itself included, down
  // and up), and for F10 alone.
  bool system = ((modifiers_.alt || vk == VK_MENU) && !modifiers_.ctrl) || vk == VK_F10;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  PostInput(hwnd, message, vk, KeyLParam(modifiers_.alt, down, repeat));
  if (!down) return;
  if (wchar_t ch = ControlChar(vk, modifiers_)) PostChar(hwnd, ch);
}

void InputTranslator::Text(HWND hwnd, std::string_view utf8) {
  for (wchar_t unit : PlatformText::Utf8ToUtf16(utf8)) PostChar(hwnd, unit);
}

void InputTranslator::PostChar(HWND hwnd, wchar_t ch) {
  bool system = modifiers_.alt && !modifiers_.ctrl;
  PostInput(hwnd, system ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ch) & 0xFFFF,
            KeyLParam(modifiers_.alt, true, false));
}

void InputTranslator::Activate(HWND hwnd, bool active) {
  auto& table = WindowTable::Instance();
  HWND current = table.Active();
  if (active) {
    if (!table.Get(hwnd)) return;
    table.SetActive(hwnd);
    table.SetFocus(hwnd);
    if (current) return;  // the application was active already
  } else {
    if (current != hwnd || !current) return;
    table.SetActive(nullptr);
    table.SetFocus(nullptr);
  }
  // Every top-level window of the application hears that it gained or lost activation.
  for (HWND each : table.All()) PostInput(each, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

void InputTranslator::Size(HWND hwnd, WPARAM kind) {
  bool changed = false;
  RECT client{};
  WindowTable::Instance().Update(hwnd, [&](Window& w) {
    bool minimized = kind == SIZE_MINIMIZED;
    bool maximized = kind == SIZE_MAXIMIZED;
    changed = w.minimized != minimized || w.maximized != maximized;
    w.minimized = minimized;
    w.maximized = maximized;
    client = ClientRectOnScreen(w);
  });
  if (!changed) return;
  LPARAM size = kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(client.right - client.left, client.bottom - client.top);
  PostInput(hwnd, WM_SIZE, kind, size);
}

void InputTranslator::Moved(HWND hwnd, int clientX, int clientY) {
  bool changed = false;
  WindowTable::Instance().Update(hwnd, [&](Window& w) {
    RECT client = ClientRectOnScreen(w);
    LONG dx = clientX - client.left;
    LONG dy = clientY - client.top;
    changed = dx != 0 || dy != 0;
    w.rect = RECT{w.rect.left + dx, w.rect.top + dy, w.rect.right + dx, w.rect.bottom + dy};
    if (!w.minimized && !w.maximized) w.normalRect = w.rect;
  });
  if (changed) PostInput(hwnd, WM_MOVE, 0, MAKELPARAM(clientX, clientY));
}

void InputTranslator::Resized(HWND hwnd, int clientWidth, int clientHeight) {
  bool changed = false;
  bool restored = false;
  WindowTable::Instance().Update(hwnd, [&](Window& w) {
    RECT client = ClientRectOnScreen(w);
    LONG dw = clientWidth - (client.right - client.left);
    LONG dh = clientHeight - (client.bottom - client.top);
    changed = dw != 0 || dh != 0;
    w.rect.right += dw;
    w.rect.bottom += dh;
    restored = !w.minimized && !w.maximized;
    if (restored) w.normalRect = w.rect;
  });
  // A minimised or maximised window has told its state already.
  if (changed && restored) PostInput(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(clientWidth, clientHeight));
}

void InputTranslator::Close(HWND hwnd) { PostInput(hwnd, WM_CLOSE, 0, 0); }

void InputTranslator::Paint(HWND hwnd) { PostInput(hwnd, WM_PAINT, 0, 0); }

void InputTranslator::DisplayChanged(int bitsPerPixel, int width, int height) {
  for (HWND each : WindowTable::Instance().All()) {
    PostInput(each, WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel), MAKELPARAM(width, height));
  }
}

}  // namespace Velk
