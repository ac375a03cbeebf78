#pragma once
// Turns input and window events of either back end into the queue records a Windows program
// receives: {window, message, wParam, lParam}, in the order Windows gives them. Both back ends feed
// it, so the sdl window and headless injection produce the same records.

#include "platform/window/WinUser.h"

#include <atomic>
#include <cstdint>
#include <string_view>

namespace Velk {

enum class MouseButton { Left, Right, Middle };

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

class InputTranslator {
 public:
  // The modifier keys held now; they decide the MK_ bits and the system-key variants.
  void SetModifiers(KeyModifiers modifiers) { modifiers_ = modifiers; }
  KeyModifiers Modifiers() const { return modifiers_; }

  // Client coordinates. `clicks` counts quick successive presses as the back end saw them: every
  // second one is a double click, so a third press is a plain press again.
  void MouseMove(HWND hwnd, int x, int y);
  void MouseButton(HWND hwnd, Velk::MouseButton button, bool down, int x, int y, int clicks);
  void MouseWheel(HWND hwnd, int notches);
  void MouseEnter(HWND hwnd);
  void MouseLeave(HWND hwnd);

  // A virtual key going down (possibly repeating) or up. Enter, Tab, Backspace, Escape and
  // Ctrl+letter also give their control character, after the key-down.
  void Key(HWND hwnd, UINT vk, bool down, bool repeat);
  // Typed text: one character message per UTF-16 unit.
  void Text(HWND hwnd, std::string_view utf8);

  // Window state; each posts only when the state really changes.
  void Activate(HWND hwnd, bool active);
  void Size(HWND hwnd, WPARAM kind);
  void Moved(HWND hwnd, int clientX, int clientY);
  // The client area was given another size (by a window manager, or on going full screen).
  void Resized(HWND hwnd, int clientWidth, int clientHeight);
  void Close(HWND hwnd);
  void Paint(HWND hwnd);
  void DisplayChanged(int bitsPerPixel, int width, int height);

  // Where the pointer was last seen (screen) and over which window (null: none of ours).
  POINT CursorPos() const;
  HWND MouseWindow() const { return mouseWindow_.load(); }

 private:
  WPARAM MouseKeys() const;
  void PostChar(HWND hwnd, wchar_t ch);
  void TrackPointer(HWND hwnd, int x, int y);

  KeyModifiers modifiers_;
  WPARAM buttons_ = 0;
  std::atomic<int64_t> cursor_{0};  // x in the high half, y in the low half
  std::atomic<HWND> mouseWindow_{nullptr};
};

// Queues a record from the back end; double clicks become plain presses for classes without
// CS_DBLCLKS, and records for unknown windows are dropped.
void PostInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Velk
