#pragma once
// Where a window goes in the desktop's work area: centred across and a little above the middle, or
// at the user's last position kept 4 pixels inside the work area; either way on the work area.

#include "platform/base/WinTypes.h"

namespace Velk {

// `client` is the client area with its corner at (0, 0) and `outer` the window around it, as
// AdjustWindowRect gives it. A preferred position of (-1, -1) means none. Returns the outer corner.
POINT PlaceWindow(const RECT& work, const RECT& client, const RECT& outer, int preferredX, int preferredY);

}  // namespace Velk
