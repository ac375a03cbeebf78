#include "platform/window/ControlStates.h"

#include <algorithm>

namespace Velk {

ControlStates& ControlStates::Instance() {
  static ControlStates states;
  return states;
}

ControlState ControlStates::Get(HWND hwnd) const {
  std::lock_guard guard(lock_);
  auto it = states_.find(hwnd);
  return it == states_.end() ? ControlState{} : it->second;
}

void ControlStates::Update(HWND hwnd, const std::function<void(ControlState&)>& change) {
  std::lock_guard guard(lock_);
  change(states_[hwnd]);
}

void ControlStates::Forget(HWND hwnd) {
  std::lock_guard guard(lock_);
  states_.erase(hwnd);
}

WPARAM ControlStates::FontParam(GdiFont* font) {
  std::lock_guard guard(lock_);
  auto known = std::find(fonts_.begin(), fonts_.end(), font);
  if (known == fonts_.end()) known = fonts_.insert(fonts_.end(), font);
  return static_cast<WPARAM>(known - fonts_.begin() + 1);
}

bool ControlStates::Common(HWND hwnd, UINT message, WPARAM wParam) {
  if (message == WM_SETFONT) {
    GdiFont* font = nullptr;
    {
      std::lock_guard guard(lock_);
      if (wParam >= 1 && wParam <= fonts_.size()) font = fonts_[wParam - 1];
    }
    Update(hwnd, [&](ControlState& s) { s.font = font; });
    return true;
  }
  if (message == WM_DESTROY) {
    Forget(hwnd);
    return true;
  }
  return false;
}

}  // namespace Velk
