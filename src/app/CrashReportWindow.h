#pragma once
// The "Fatal Error!" window: the crash message at the top, the report in a bordered read-only text
// with a vertical scroll bar, "Close Now" across the bottom, or beside "Send Report" when a report
// can be sent. It runs its own message loop until "Close Now", "Send Report" or its close box.
#include "platform/window/WinUser.h"

#include <string>

namespace Velk {

class CrashReportWindow {
 public:
  enum Choice { kClosed, kSend, kNotShown };
  // The environment variable that names a file to receive the report control's text once the
  // window shows.
  static constexpr const char* kShownTextVariable = "VELK_CRASH_WINDOW_TEXT";
  // `report` is Latin-1 text. "Send Report" shows when `offerSend`, enabled when `sendEnabled`.
  static Choice Show(const std::string& report, bool offerSend, bool sendEnabled);
  // The window with its controls, hidden; null when it cannot be made.
  static HWND Create(const std::string& report, bool offerSend, bool sendEnabled);
};

}  // namespace Velk
