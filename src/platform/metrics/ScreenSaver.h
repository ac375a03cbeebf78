#pragma once
// The desktop's screen saver as the idle pause needs it: its timeout, whether it is enabled and
// running, and when the user last gave any input to the desktop.

#include "platform/metrics/ScreenSaverState.h"

#include <optional>

namespace Velk {

class ScreenSaver {
 public:
  // Nothing where the desktop cannot tell (headless, no X server or no screen-saver extension).
  static std::optional<ScreenSaverState> Query();
  // Tests: these answers instead of the desktop's until cleared with nothing.
  static void Inject(std::optional<ScreenSaverState> state);
};

}  // namespace Velk
