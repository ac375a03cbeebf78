#pragma once
// What the desktop offers: its size and depth, the area left free by panels, and the modes a
// full-screen display may pick from.

#include "platform/base/WinTypes.h"

#include <vector>

namespace Velk {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int refreshRate = 0;  // Hz; 0 when unknown

  bool operator==(const DisplayMode&) const = default;
};

struct DisplayInfo {
  DisplayMode desktop;
  RECT workArea;
  std::vector<DisplayMode> modes;
};

}  // namespace Velk
