#include "platform/window/WindowTable.h"

#include "platform/base/PlatformText.h"

#include <algorithm>

namespace Velk {

namespace {

// A captioned window has a 3-pixel frame and a 19-pixel caption; a bordered one a 1-pixel line.
constexpr LONG kFrame = 3;
constexpr LONG kCaption = 19;

uintptr_t Key(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

}  // namespace

WindowTable& WindowTable::Instance() {
  static WindowTable table;
  return table;
}

ATOM WindowTable::RegisterClass(const WindowClass& windowClass) {
  std::lock_guard guard(lock_);
  auto [it, added] = classes_.emplace(PlatformText::LowerAscii(windowClass.name), windowClass);
  return added ? nextAtom_++ : 0;
}

std::optional<WindowClass> WindowTable::FindClass(const std::wstring& name) const {
  std::lock_guard guard(lock_);
  auto it = classes_.find(PlatformText::LowerAscii(name));
  if (it == classes_.end()) return std::nullopt;
  return it->second;
}

HWND WindowTable::Add(Window window) {
  std::lock_guard guard(lock_);
  uintptr_t key = nextHandle_;
  nextHandle_ += 4;
  window.hwnd = reinterpret_cast<HWND>(key);
  windows_.emplace(key, std::move(window));
  return reinterpret_cast<HWND>(key);
}

void WindowTable::Remove(HWND hwnd) {
  std::lock_guard guard(lock_);
  windows_.erase(Key(hwnd));
  if (active_ == hwnd) active_ = nullptr;
  if (focus_ == hwnd) focus_ = nullptr;
  if (capture_ == hwnd) capture_ = nullptr;
}

std::optional<Window> WindowTable::Get(HWND hwnd) const {
  std::lock_guard guard(lock_);
  auto it = windows_.find(Key(hwnd));
  if (it == windows_.end()) return std::nullopt;
  return it->second;
}

bool WindowTable::Update(HWND hwnd, const std::function<void(Window&)>& change) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(Key(hwnd));
  if (it == windows_.end()) return false;
  change(it->second);
  return true;
}

std::vector<HWND> WindowTable::All() const {
  std::lock_guard guard(lock_);
  std::vector<HWND> all;
  for (const auto& [key, window] : windows_) all.push_back(window.hwnd);
  return all;
}

HWND WindowTable::Active() const {
  std::lock_guard guard(lock_);
  return active_;
}

HWND WindowTable::Focus() const {
  std::lock_guard guard(lock_);
  return focus_;
}

HWND WindowTable::Capture() const {
  std::lock_guard guard(lock_);
  return capture_;
}

void WindowTable::SetActive(HWND hwnd) {
  std::lock_guard guard(lock_);
  active_ = hwnd;
}

void WindowTable::SetFocus(HWND hwnd) {
  std::lock_guard guard(lock_);
  focus_ = hwnd;
}

void WindowTable::SetCapture(HWND hwnd) {
  std::lock_guard guard(lock_);
  capture_ = hwnd;
}

void WindowTable::Clear() {
  std::lock_guard guard(lock_);
  classes_.clear();
  windows_.clear();
  active_ = focus_ = capture_ = nullptr;
}

RECT WindowFrame(DWORD style) {
  if ((style & WS_CAPTION) == WS_CAPTION) return RECT{kFrame, kFrame + kCaption, kFrame, kFrame};
  if (style & (WS_BORDER | WS_DLGFRAME)) return RECT{1, 1, 1, 1};
  return RECT{};
}

RECT ClientArea(const RECT& outer, DWORD style) {
  RECT frame = WindowFrame(style);
  RECT client{outer.left + frame.left, outer.top + frame.top, outer.right - frame.right, outer.bottom - frame.bottom};
  client.right = std::max(client.right, client.left);
  client.bottom = std::max(client.bottom, client.top);
  return client;
}

RECT WindowRectOnScreen(const Window& window) {
  const std::optional<Window> parent = window.parent ? WindowTable::Instance().Get(window.parent) : std::nullopt;
  if (!parent) return window.rect;
  const RECT origin = ClientRectOnScreen(*parent);
  const RECT& r = window.rect;
  return RECT{r.left + origin.left, r.top + origin.top, r.right + origin.left, r.bottom + origin.top};
}

RECT ClientRectOnScreen(const Window& window) { return ClientArea(WindowRectOnScreen(window), window.style); }

}  // namespace Velk
