#pragma once
// The frame an X window manager draws around a top-level window: whether a manager runs at all
// (_NET_SUPPORTING_WM_CHECK on the root window), and the frame it announces on the window
// (_NET_FRAME_EXTENTS).

#include "platform/base/WinTypes.h"

#include <optional>
#include <vector>

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
  // The 32-bit items of a window's property of `type` (Xlib hands them over as longs), at most
  // `most` of them; none where it has none.
  static std::vector<long> Items(_XDisplay* display, unsigned long window, const char* name, unsigned long type,
                                 long most);
};

}  // namespace Velk
