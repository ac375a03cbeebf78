#pragma once
// Where a window of the given outer size goes in the desktop's work area: centred across and a
// little above the middle, or at the user's last position kept 4 pixels inside the work area.

#include "platform/base/WinTypes.h"

namespace Velk {

// A preferred position of (-1, -1) means none.
POINT PlaceWindow(const RECT& work, int width, int height, int preferredX, int preferredY);

}  // namespace Velk
