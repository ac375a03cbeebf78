#include "app/DemoJumps.h"

#include "common/StringUtil.h"

#include <cstdint>

namespace Velk {

namespace {

// A leading sign and digits; whatever follows is ignored, and no digits count as 0.
int64_t LeadingNumber(const std::string& text, size_t begin, size_t end) {
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  bool negative = begin < end && text[begin] == '-';
  if (begin < end && (text[begin] == '-' || text[begin] == '+')) ++begin;
  int64_t value = 0;
  for (; begin < end && text[begin] >= '0' && text[begin] <= '9' && value < INT32_MAX; ++begin)
    value = value * 10 + (text[begin] - '0');
  return negative ? -value : value;
}

}  // namespace

std::string DemoJumps::ClockText(DWORD ms) {
  DWORD seconds = ms / 1000;
  return FormatString("%02d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
}

std::vector<DemoJumps::Entry> DemoJumps::MarkersAhead(const std::vector<DemoMarker>& markers, DWORD counter,
                                                      DWORD demoLength, DWORD frameTime) {
  std::vector<Entry> entries;
  for (const DemoMarker& marker : markers) {
    if (marker.update <= counter) continue;
    DWORD toEnd = marker.update < demoLength ? (demoLength - marker.update) * frameTime : 0;
    entries.push_back({marker.name + " (" + ClockText(toEnd) + ")", marker.update});
  }
  return entries;
}

DWORD DemoJumps::TargetForTimeText(const std::string& text, DWORD demoLength, DWORD frameTime) {
  int64_t seconds = 0;
  size_t begin = 0;
  while (true) {
    size_t colon = text.find(':', begin);
    size_t end = colon == std::string::npos ? text.size() : colon;
    seconds = seconds * 60 + LeadingNumber(text, begin, end);
    if (seconds > INT32_MAX || seconds < INT32_MIN) return 0;
    if (colon == std::string::npos) break;
    begin = colon + 1;
  }
  if (frameTime == 0) return 0;
  int64_t back = (seconds + 1) * 1000 / frameTime;
  int64_t target = static_cast<int64_t>(demoLength) - back;
  return target < 0 || target > demoLength ? 0 : static_cast<DWORD>(target);
}

}  // namespace Velk
