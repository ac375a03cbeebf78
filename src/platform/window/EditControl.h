#pragma once
// The system's "EDIT" control: one line, or many (ES_MULTILINE) wrapped to its width, with a border
// (WS_BORDER) and a vertical scroll bar (WS_VSCROLL) when its style asks. The wheel, the scroll
// bar's arrows, track and thumb, and the keys scroll it; a read-only one (ES_READONLY) takes no
// typing. The text is the window's text.

#include "platform/window/ControlStates.h"
#include "platform/window/EditLayout.h"
#include "platform/window/WindowTable.h"

class GdiFont;

namespace Velk {

// An edit as it shows now, in its own coordinates.
struct EditView {
  Window window;
  ControlState state;
  const GdiFont* font = nullptr;
  std::vector<EditLine> lines;
  int lineHeight = 1;
  int visibleLines = 1;
  int maxTop = 0;
  int border = 0;
  RECT text{};  // where the lines are drawn
  bool hasBar = false;
  RECT up{}, down{}, track{}, thumb{};  // thumb empty when everything shows
};

class EditControl {
 public:
  static constexpr int kScrollBarWidth = 16;
  static constexpr int kWheelLines = 3;

  static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static EditView View(HWND hwnd);
  // The first shown line, kept within the text.
  static void ScrollTo(HWND hwnd, int topLine);

 private:
  static void MouseDown(HWND hwnd, const EditView& view, int x, int y);
  static void DragThumb(HWND hwnd, const EditView& view, int y);
  static void Key(HWND hwnd, const EditView& view, UINT vk);
  static void Type(HWND hwnd, const EditView& view, wchar_t ch);
  static void MoveCaret(HWND hwnd, size_t caret);
  static size_t IndexAt(const EditView& view, int x, int y);
};

}  // namespace Velk
