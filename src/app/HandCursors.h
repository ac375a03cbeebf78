#pragma once
// The two hand cursors the application makes at start-up: a hand pointing with its index finger
// (over something clickable) and an open hand (dragging).

#include "platform/base/WinTypes.h"

namespace Velk {

HCURSOR CreatePointingHandCursor();
HCURSOR CreateOpenHandCursor();

}  // namespace Velk
