#pragma once
// Windows cursors are drawn through an AND plane and an XOR plane; SDL takes a data plane and a
// mask plane. Opaque pixels have AND 0 (XOR 0 black, 1 white); AND 1 shows the screen (XOR 1
// inverts it). SDL wants mask = NOT AND and data = NOT (AND XOR XOR).

#include "platform/base/WinTypes.h"

#include <vector>

namespace Velk {

struct SdlCursorPlanes {
  std::vector<BYTE> data;
  std::vector<BYTE> mask;
};

SdlCursorPlanes ToSdlCursorPlanes(const std::vector<BYTE>& andPlane, const std::vector<BYTE>& xorPlane);

}  // namespace Velk
