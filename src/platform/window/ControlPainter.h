#pragma once
// Draws the windows that are made of the system's controls: the client area in the button face,
// each shown child on it (static texts, edits with their border, lines, caret and scroll bar, push
// buttons raised or pressed, greyed while disabled), and hands the picture to the back end. A
// window is drawn again only when something it shows changed, or the back end asks (WM_PAINT).

#include "platform/window/EditControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Velk {

struct ClientPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB rows
};

class ControlPainter {
 public:
  static constexpr uint32_t kFace = 0xD4D0C8;
  static constexpr uint32_t kHighlight = 0xFFFFFF;
  static constexpr uint32_t kShadow = 0x808080;
  static constexpr uint32_t kDarkShadow = 0x404040;
  static constexpr uint32_t kText = 0x000000;
  static constexpr uint32_t kWindow = 0xFFFFFF;

  // The client area of a top-level window with its children.
  static ClientPicture Paint(HWND hwnd);
  // Draws and presents every shown top-level window with children whose look changed.
  static void PresentChanged();
  // Its next PresentChanged draws it whether it changed or not.
  static void Invalidate(HWND hwnd);

 private:
  static void PaintChild(ClientPicture& picture, HWND parent, HWND child);
  static void PaintStatic(ClientPicture& picture, const RECT& at, const Window& w);
  static void PaintEdit(ClientPicture& picture, const RECT& at, HWND child, bool focused);
  static void PaintScrollBar(ClientPicture& picture, const RECT& at, const EditView& view);
  static void PaintButton(ClientPicture& picture, const RECT& at, const Window& w);
  // What the window shows, as text: equal looks give equal texts.
  static std::wstring Look(HWND hwnd);
};

}  // namespace Velk
