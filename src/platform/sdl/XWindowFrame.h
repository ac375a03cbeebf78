#pragma once
// The frame an X window manager draws around a top-level window: whether a manager runs at all
// (_NET_SUPPORTING_WM_CHECK on the root window), and the frame it announces on the window
// (_NET_FRAME_EXTENTS).

#include "platform/base/WinTypes.h"

#include <optional>

struct SDL_Window;
struct _XDisplay;

namespace Velk {

class XWindowFrame {
 public:
  // False also when the window is no X window.
  static bool ManagerRuns(SDL_Window* window);
  static bool ManagerRunsOn(_XDisplay* display);
  // The thickness of the frame's left, top, right and bottom sides; nothing when the window is no
  // X window or no manager has announced a frame for it.
  static std::optional<RECT> Extents(SDL_Window* window);
};

}  // namespace Velk
