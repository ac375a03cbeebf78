#include "platform/window/ControlPainter.h"

#include "platform/backend/Backend.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/ChildInput.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

namespace Velk {

namespace {

constexpr uint32_t kGreyText = 0x808080;
constexpr uint32_t kTrack = 0xE8E6E2;

std::mutex gLock;
std::map<HWND, std::wstring> gShown;  // the look each window was last presented with
std::set<HWND> gInvalid;

void Fill(ClientPicture& p, RECT r, uint32_t colour) {
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, p.width);
  r.bottom = std::min<LONG>(r.bottom, p.height);
  for (LONG y = r.top; y < r.bottom; ++y)
    std::fill_n(p.pixels.begin() + y * p.width + r.left, std::max<LONG>(r.right - r.left, 0), colour);
}

// A one-pixel frame: top and left in one colour, bottom and right in the other.
void Frame(ClientPicture& p, const RECT& r, uint32_t topLeft, uint32_t bottomRight) {
  Fill(p, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  Fill(p, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  Fill(p, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  Fill(p, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

RECT Inset(const RECT& r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }
RECT Offset(const RECT& r, const RECT& by) {
  return RECT{r.left + by.left, r.top + by.top, r.right + by.left, r.bottom + by.top};
}

void Raised(ClientPicture& p, const RECT& r) {
  Fill(p, r, ControlPainter::kFace);
  Frame(p, r, ControlPainter::kHighlight, ControlPainter::kDarkShadow);
  Frame(p, Inset(r, 1), ControlPainter::kFace, ControlPainter::kShadow);
}

void Text(ClientPicture& p, const GdiFont* font, const RECT& clip, int x, int y, const wchar_t* text, size_t count,
          uint32_t colour) {
  TextTarget target{p.pixels.data(), p.width, clip};
  target.clip.left = std::max<LONG>(clip.left, 0);
  target.clip.top = std::max<LONG>(clip.top, 0);
  target.clip.right = std::min<LONG>(clip.right, p.width);
  target.clip.bottom = std::min<LONG>(clip.bottom, p.height);
  font->Draw(target, x, y, text, static_cast<int>(count), colour);
}

// A small triangle pointing up or down in the middle of `r`.
void Arrow(ClientPicture& p, const RECT& r, bool up, uint32_t colour) {
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  for (int row = 0; row < 4; ++row) {
    const int y = up ? cy - 2 + row : cy + 1 - row;
    Fill(p, RECT{cx - row, y, cx + row + 1, y + 1}, colour);
  }
}

const GdiFont* FontOf(HWND hwnd) {
  GdiFont* font = ControlStates::Instance().Get(hwnd).font;
  return font ? font : static_cast<GdiFont*>(GetStockObject(SYSTEM_FONT));
}

}  // namespace

ClientPicture ControlPainter::Paint(HWND hwnd) {
  ClientPicture picture;
  RECT client{};
  GetClientRect(hwnd, &client);
  picture.width = std::max<LONG>(client.right, 0);
  picture.height = std::max<LONG>(client.bottom, 0);
  picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, kFace);
  for (HWND each : WindowTable::Instance().All()) {
    if (GetParent(each) == hwnd) PaintChild(picture, hwnd, each);
  }
  return picture;
}

void ControlPainter::PaintChild(ClientPicture& picture, HWND parent, HWND child) {
  auto w = WindowTable::Instance().Get(child);
  if (!w || !w->visible) return;
  const RECT& at = w->rect;  // in the parent's client area
  const std::wstring& name = w->windowClass.name;
  if (name == L"edit")
    PaintEdit(picture, at, child, ChildInput::FocusedChild(parent) == child);
  else if (name == L"button")
    PaintButton(picture, at, *w);
  else if (name == L"static")
    PaintStatic(picture, at, *w);
}

void ControlPainter::PaintStatic(ClientPicture& picture, const RECT& at, const Window& w) {
  const GdiFont* font = FontOf(w.hwnd);
  const int lineHeight = std::max(1, font->Ascent() + font->Descent());
  EditLayout layout(w.title, at.right - at.left, [font](const wchar_t* text, size_t count) {
    return font->LineWidth(text, static_cast<int>(count));
  });
  int y = at.top;
  for (const EditLine& line : layout.Lines()) {
    Text(picture, font, at, at.left, y, w.title.data() + line.start, line.length, w.enabled ? kText : kGreyText);
    y += lineHeight;
  }
}

void ControlPainter::PaintEdit(ClientPicture& picture, const RECT& at, HWND child, bool focused) {
  const EditView view = EditControl::View(child);
  const bool readOnly = (view.window.style & ES_READONLY) != 0;
  const RECT inner = Inset(at, view.border);
  Fill(picture, at, readOnly || !view.window.enabled ? kFace : kWindow);
  if (view.border) {
    Frame(picture, at, kShadow, kHighlight);
    Frame(picture, Inset(at, 1), kDarkShadow, kFace);
  }
  const RECT text = Offset(view.text, at);
  const RECT clip{text.left, text.top, text.right, std::min(text.bottom, inner.bottom)};
  const std::wstring& title = view.window.title;
  for (int i = 0; i <= view.visibleLines; ++i) {
    const size_t index = static_cast<size_t>(view.state.topLine + i);
    if (index >= view.lines.size()) break;
    const EditLine& line = view.lines[index];
    Text(picture, view.font, clip, text.left, text.top + i * view.lineHeight, title.data() + line.start, line.length,
         view.window.enabled ? kText : kGreyText);
  }
  if (focused && !readOnly) {
    const int line = EditLayout::LineOfIn(view.lines, view.state.caret);
    const EditLine& here = view.lines[static_cast<size_t>(line)];
    const size_t column = std::min(view.state.caret - here.start, here.length);
    const int x = text.left + view.font->LineWidth(title.data() + here.start, static_cast<int>(column));
    const int y = text.top + (line - view.state.topLine) * view.lineHeight;
    if (line >= view.state.topLine && line < view.state.topLine + view.visibleLines)
      Fill(picture, RECT{x, y, x + 1, y + view.lineHeight}, kText);
  }
  if (view.hasBar) PaintScrollBar(picture, at, view);
}

void ControlPainter::PaintScrollBar(ClientPicture& picture, const RECT& at, const EditView& view) {
  const bool scrolls = view.thumb.bottom > view.thumb.top;
  Fill(picture, Offset(view.track, at), kTrack);
  Raised(picture, Offset(view.up, at));
  Raised(picture, Offset(view.down, at));
  Arrow(picture, Offset(view.up, at), true, scrolls ? kText : kGreyText);
  Arrow(picture, Offset(view.down, at), false, scrolls ? kText : kGreyText);
  if (scrolls) Raised(picture, Offset(view.thumb, at));
}

void ControlPainter::PaintButton(ClientPicture& picture, const RECT& at, const Window& w) {
  const bool pressed = ControlStates::Instance().Get(w.hwnd).pressed;
  Fill(picture, at, kFace);
  if (pressed) {
    Frame(picture, at, kDarkShadow, kDarkShadow);
    Frame(picture, Inset(at, 1), kShadow, kFace);
  } else {
    Frame(picture, at, kHighlight, kDarkShadow);
    Frame(picture, Inset(at, 1), kFace, kShadow);
  }
  const GdiFont* font = FontOf(w.hwnd);
  const int width = font->LineWidth(w.title.data(), static_cast<int>(w.title.size()));
  const int height = font->Ascent() + font->Descent();
  const int shift = pressed ? 1 : 0;
  const int x = at.left + (at.right - at.left - width) / 2 + shift;
  const int y = at.top + (at.bottom - at.top - height) / 2 + shift;
  Text(picture, font, Inset(at, 2), x, y, w.title.data(), w.title.size(), w.enabled ? kText : kGreyText);
}

std::wstring ControlPainter::Look(HWND hwnd) {
  auto top = WindowTable::Instance().Get(hwnd);
  std::wstring look = std::to_wstring(top->rect.right - top->rect.left) + L"x" +
                      std::to_wstring(top->rect.bottom - top->rect.top) + L";";
  HWND focus = ChildInput::FocusedChild(hwnd);
  for (HWND each : WindowTable::Instance().All()) {
    auto w = WindowTable::Instance().Get(each);
    if (!w || w->parent != hwnd) continue;
    const ControlState s = ControlStates::Instance().Get(each);
    look += w->title + L"|" + std::to_wstring(w->style) + L"|" + std::to_wstring(w->visible) +
            std::to_wstring(w->enabled) + std::to_wstring(each == focus) + std::to_wstring(s.pressed) + L"|" +
            std::to_wstring(s.topLine) + L"|" + std::to_wstring(s.caret) + L"|" +
            std::to_wstring(reinterpret_cast<uintptr_t>(s.font)) + L";";
  }
  return look;
}

void ControlPainter::Invalidate(HWND hwnd) {
  std::lock_guard guard(gLock);
  gInvalid.insert(hwnd);
}

void ControlPainter::PresentChanged() {
  auto& table = WindowTable::Instance();
  const std::vector<HWND> all = table.All();
  std::set<HWND> parents;
  for (HWND each : all) {
    if (HWND parent = GetParent(each)) parents.insert(parent);
  }
  for (HWND hwnd : parents) {
    auto w = table.Get(hwnd);
    if (!w || !w->visible || w->minimized || w->parent) continue;
    std::wstring look = Look(hwnd);
    {
      std::lock_guard guard(gLock);
      if (!gInvalid.erase(hwnd) && gShown[hwnd] == look) continue;
      gShown[hwnd] = look;
    }
    const ClientPicture picture = Paint(hwnd);
    Backend::Get().PresentClient(hwnd, picture.pixels.data(), picture.width, picture.height);
  }
  std::lock_guard guard(gLock);
  std::erase_if(gShown, [&](const auto& entry) { return !parents.count(entry.first); });
}

}  // namespace Velk
