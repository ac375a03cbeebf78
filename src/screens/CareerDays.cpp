#include "screens/CareerDays.h"

#include <algorithm>

namespace {

constexpr int kOffsets[kCareerCafes] = {0, 15, 35};
constexpr int kDays[kCareerCafes] = {15, 20, 24};

int CafeIndex(int cafe) { return std::clamp(cafe, 1, kCareerCafes) - 1; }

}  // namespace

int CareerCafeOfDay(int day) {
  if (day <= kOffsets[1]) return 1;
  if (day <= kOffsets[2]) return 2;
  return 3;
}

int CareerCafeOffset(int cafe) { return kOffsets[CafeIndex(cafe)]; }

int CareerCafeDays(int cafe) { return kDays[CafeIndex(cafe)]; }

bool IsCareerDay(int day) { return day >= kCareerFirstDay && day <= kCareerLastDay; }
