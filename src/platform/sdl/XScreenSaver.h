#pragma once
// The X server's screen saver: the timeout and whether it is enabled (the core protocol), the idle
// time and whether it runs (the screen-saver extension), over a connection of its own.

#include "platform/metrics/ScreenSaverState.h"

#include <optional>

namespace Velk {

class XScreenSaver {
 public:
  // Nothing without an X server (DISPLAY) or without the extension on it.
  static std::optional<ScreenSaverState> Query();
};

}  // namespace Velk
