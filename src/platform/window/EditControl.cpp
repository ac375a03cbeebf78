#include "platform/window/EditControl.h"

#include "platform/gdi/Gdi.h"

#include <algorithm>

namespace Velk {

namespace {

constexpr int kBorder = 2;
constexpr int kMinThumb = 8;
constexpr int kTextInset = 2;

int ClientX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int ClientY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

void PlaceBar(EditView& view, const RECT& inner) {
  const RECT bar{inner.right - EditControl::kScrollBarWidth, inner.top, inner.right, inner.bottom};
  const int arrow = std::min(EditControl::kScrollBarWidth, (bar.bottom - bar.top) / 2);
  view.up = RECT{bar.left, bar.top, bar.right, bar.top + arrow};
  view.down = RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
  view.track = RECT{bar.left, view.up.bottom, bar.right, view.down.top};
  const int lines = static_cast<int>(view.lines.size());
  const int trackLength = view.track.bottom - view.track.top;
  if (view.maxTop == 0 || trackLength <= kMinThumb) return;
  const int length = std::max(kMinThumb, trackLength * view.visibleLines / lines);
  const int top = view.track.top + (trackLength - length) * view.state.topLine / view.maxTop;
  view.thumb = RECT{bar.left, top, bar.right, top + length};
}

}  // namespace

EditView EditControl::View(HWND hwnd) {
  EditView view;
  view.window = WindowTable::Instance().Get(hwnd).value_or(Window{});
  view.state = ControlStates::Instance().Get(hwnd);
  view.font = view.state.font ? view.state.font : static_cast<GdiFont*>(GetStockObject(SYSTEM_FONT));
  const int width = view.window.rect.right - view.window.rect.left;
  const int height = view.window.rect.bottom - view.window.rect.top;
  view.border = (view.window.style & WS_BORDER) ? kBorder : 0;
  const RECT inner{view.border, view.border, width - view.border, height - view.border};
  view.hasBar = (view.window.style & WS_VSCROLL) != 0;
  const int textRight = view.hasBar ? inner.right - kScrollBarWidth : inner.right;
  view.text = RECT{inner.left + kTextInset, inner.top + 1, textRight - kTextInset, inner.bottom - 1};
  view.lineHeight = std::max(1, view.font->Ascent() + view.font->Descent());
  const GdiFont* font = view.font;
  const bool multiLine = (view.window.style & ES_MULTILINE) != 0;
  const int wrapWidth = multiLine ? static_cast<int>(view.text.right - view.text.left) : INT32_MAX;
  view.lines = EditLayout(view.window.title, wrapWidth, [font](const wchar_t* text, size_t count) {
                 return font->LineWidth(text, static_cast<int>(count));
               }).Lines();
  view.visibleLines = std::max(1, static_cast<int>(view.text.bottom - view.text.top) / view.lineHeight);
  view.maxTop = std::max(0, static_cast<int>(view.lines.size()) - view.visibleLines);
  view.state.topLine = std::clamp(view.state.topLine, 0, view.maxTop);
  if (view.hasBar) PlaceBar(view, inner);
  return view;
}

void EditControl::ScrollTo(HWND hwnd, int topLine) {
  const int maxTop = View(hwnd).maxTop;
  ControlStates::Instance().Update(hwnd, [&](ControlState& s) { s.topLine = std::clamp(topLine, 0, maxTop); });
}

LRESULT EditControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (ControlStates::Instance().Common(hwnd, message, wParam)) return 0;
  switch (message) {
    case WM_LBUTTONDOWN:
      MouseDown(hwnd, View(hwnd), ClientX(lParam), ClientY(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (ControlStates::Instance().Get(hwnd).thumbGrab >= 0) DragThumb(hwnd, View(hwnd), ClientY(lParam));
      return 0;
    case WM_LBUTTONUP:
      ControlStates::Instance().Update(hwnd, [](ControlState& s) { s.thumbGrab = -1; });
      return 0;
    case WM_MOUSEWHEEL: {
      const int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
      ScrollTo(hwnd, View(hwnd).state.topLine - notches * kWheelLines);
      return 0;
    }
    case WM_KEYDOWN:
      Key(hwnd, View(hwnd), static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR:
      Type(hwnd, View(hwnd), static_cast<wchar_t>(wParam));
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void EditControl::MouseDown(HWND hwnd, const EditView& view, int x, int y) {
  SetFocus(hwnd);
  const int top = view.state.topLine;
  if (!view.hasBar || x < view.up.left) {
    MoveCaret(hwnd, IndexAt(view, x, y));
  } else if (Inside(view.up, x, y)) {
    ScrollTo(hwnd, top - 1);
  } else if (Inside(view.down, x, y)) {
    ScrollTo(hwnd, top + 1);
  } else if (view.thumb.bottom > view.thumb.top && Inside(view.thumb, x, y)) {
    ControlStates::Instance().Update(hwnd, [&](ControlState& s) { s.thumbGrab = y - view.thumb.top; });
  } else if (view.thumb.bottom > view.thumb.top) {
    ScrollTo(hwnd, y < view.thumb.top ? top - view.visibleLines : top + view.visibleLines);
  }
}

void EditControl::DragThumb(HWND hwnd, const EditView& view, int y) {
  const int room = (view.track.bottom - view.track.top) - (view.thumb.bottom - view.thumb.top);
  if (room <= 0) return;
  const int offset = y - view.state.thumbGrab - view.track.top;
  ScrollTo(hwnd, (offset * view.maxTop * 2 + room) / (room * 2));
}

void EditControl::Key(HWND hwnd, const EditView& view, UINT vk) {
  const bool readOnly = (view.window.style & ES_READONLY) != 0;
  const int top = view.state.topLine;
  const int line = EditLayout::LineOfIn(view.lines, view.state.caret);
  const size_t size = view.window.title.size();
  auto toLine = [&](int target) {
    target = std::clamp(target, 0, static_cast<int>(view.lines.size()) - 1);
    const EditLine& to = view.lines[static_cast<size_t>(target)];
    const size_t column = view.state.caret - view.lines[static_cast<size_t>(line)].start;
    MoveCaret(hwnd, to.start + std::min(column, to.length));
  };
  switch (vk) {
    case VK_UP:
      readOnly ? ScrollTo(hwnd, top - 1) : toLine(line - 1);
      return;
    case VK_DOWN:
      readOnly ? ScrollTo(hwnd, top + 1) : toLine(line + 1);
      return;
    case VK_PRIOR:
      readOnly ? ScrollTo(hwnd, top - view.visibleLines) : toLine(line - view.visibleLines);
      return;
    case VK_NEXT:
      readOnly ? ScrollTo(hwnd, top + view.visibleLines) : toLine(line + view.visibleLines);
      return;
    case VK_HOME:
      readOnly ? ScrollTo(hwnd, 0) : MoveCaret(hwnd, view.lines[static_cast<size_t>(line)].start);
      return;
    case VK_END:
      if (readOnly) {
        ScrollTo(hwnd, view.maxTop);
      } else {
        const EditLine& here = view.lines[static_cast<size_t>(line)];
        MoveCaret(hwnd, here.start + here.length);
      }
      return;
    case VK_LEFT:
      MoveCaret(hwnd, view.state.caret > 0 ? view.state.caret - 1 : 0);
      return;
    case VK_RIGHT:
      MoveCaret(hwnd, std::min(view.state.caret + 1, size));
      return;
    case VK_DELETE:
      if (!readOnly && view.state.caret < size) {
        std::wstring text = view.window.title;
        const size_t count = text.compare(view.state.caret, 2, L"\r\n") == 0 ? 2 : 1;
        text.erase(view.state.caret, count);
        SetWindowTextW(hwnd, text.c_str());
      }
      return;
    default:
      return;
  }
}

void EditControl::Type(HWND hwnd, const EditView& view, wchar_t ch) {
  if (view.window.style & ES_READONLY) return;
  std::wstring text = view.window.title;
  size_t caret = std::min(view.state.caret, text.size());
  if (ch == L'\b') {
    if (caret == 0) return;
    const size_t count = caret >= 2 && text.compare(caret - 2, 2, L"\r\n") == 0 ? 2 : 1;
    caret -= count;
    text.erase(caret, count);
  } else if (ch == L'\r') {
    if (!(view.window.style & ES_MULTILINE)) return;
    text.insert(caret, L"\r\n");
    caret += 2;
  } else if (ch >= L' ') {
    text.insert(caret, 1, ch);
    caret += 1;
  } else {
    return;
  }
  SetWindowTextW(hwnd, text.c_str());
  MoveCaret(hwnd, caret);
}

// The caret moves, and the lines scroll so that it shows.
void EditControl::MoveCaret(HWND hwnd, size_t caret) {
  ControlStates::Instance().Update(hwnd, [&](ControlState& s) { s.caret = caret; });
  const EditView view = View(hwnd);
  const int line = EditLayout::LineOfIn(view.lines, caret);
  if (line < view.state.topLine) ScrollTo(hwnd, line);
  if (line >= view.state.topLine + view.visibleLines) ScrollTo(hwnd, line - view.visibleLines + 1);
}

size_t EditControl::IndexAt(const EditView& view, int x, int y) {
  const int row = view.state.topLine + std::max(0, static_cast<int>(y - view.text.top)) / view.lineHeight;
  const EditLine& line = view.lines[static_cast<size_t>(std::min(row, static_cast<int>(view.lines.size()) - 1))];
  const wchar_t* text = view.window.title.data() + line.start;
  size_t count = 0;
  while (count < line.length && view.text.left + view.font->LineWidth(text, static_cast<int>(count + 1)) <= x) ++count;
  return line.start + count;
}

}  // namespace Velk
