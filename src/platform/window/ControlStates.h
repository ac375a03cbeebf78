#pragma once
// What the system's controls remember beyond their window: the font they draw with, an edit's
// first shown line, caret and scroll-bar drag, a button's press.

#include "platform/window/WinUser.h"

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class GdiFont;

namespace Velk {

struct ControlState {
  GdiFont* font = nullptr;  // null: the system font
  int topLine = 0;
  size_t caret = 0;
  bool tracking = false;      // the left button went down on it and is still held
  bool pressed = false;       // a tracked button with the pointer on it
  int thumbGrab = -1;         // where the pointer holds the scroll bar's thumb, -1 when it does not
  HWND focusChild = nullptr;  // of a top-level window: the child that had the focus last
};

class ControlStates {
 public:
  static ControlStates& Instance();

  ControlState Get(HWND hwnd) const;
  void Update(HWND hwnd, const std::function<void(ControlState&)>& change);
  void Forget(HWND hwnd);
  // WM_SETFONT's wParam for a font: message parameters are 32 bits here, so the font is known by a
  // number that stands for it for the rest of the process.
  WPARAM FontParam(GdiFont* font);
  // What every control does alike: WM_SETFONT keeps the font, WM_DESTROY forgets the state. True when
  // the message was one of them.
  bool Common(HWND hwnd, UINT message, WPARAM wParam);

 private:
  mutable std::mutex lock_;
  std::map<HWND, ControlState> states_;
  std::vector<GdiFont*> fonts_;  // FontParam's numbers, from 1
};

}  // namespace Velk
