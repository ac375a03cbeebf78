#pragma once
// SDL key codes to Windows virtual keys.

#include "platform/base/WinTypes.h"

#include <cstdint>

namespace Velk {

// 0 for keys the program has no virtual key for.
UINT VirtualKeyFromSdl(int32_t keycode);

}  // namespace Velk
