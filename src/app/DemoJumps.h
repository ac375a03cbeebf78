#pragma once
// What the two playback jump dialogs offer and what a choice in them jumps to.
#include "app/DemoFile.h"
#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

namespace Velk {

class DemoJumps {
 public:
  struct Entry {
    std::string text;  // the marker's name and its time to the end of the demo
    DWORD update = 0;
  };

  // "hh:mm:ss" of a span in milliseconds.
  static std::string ClockText(DWORD ms);
  // The markers still ahead of the counter, in list order.
  static std::vector<Entry> MarkersAhead(const std::vector<DemoMarker>& markers, DWORD counter, DWORD demoLength,
                                         DWORD frameTime);
  // Seconds, "m:s" or "h:m:s", counted back from the end of the demo; 0 when that lies before its start.
  static DWORD TargetForTimeText(const std::string& text, DWORD demoLength, DWORD frameTime);
};

}  // namespace Velk
