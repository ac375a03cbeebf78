#pragma once
// What the desktop tells of its screen saver.

#include "platform/base/WinTypes.h"

namespace Velk {

struct ScreenSaverState {
  UINT timeoutSeconds = 0;
  bool active = false;
  bool running = false;
  DWORD lastInputTick = 0;  // GetTickCount time
};

}  // namespace Velk
