#pragma once
// The one clock of the program: the multimedia timer, the tick count, the performance counter and
// Sleep all read it. It runs on CLOCK_MONOTONIC, or on a manual clock that tests advance by hand so
// that timing is exact and nothing really sleeps.

#include "platform/base/WinTypes.h"

#include <cstdint>

union LARGE_INTEGER {
  int64_t QuadPart;
};

constexpr UINT TIMERR_NOERROR = 0;

// Milliseconds as 32 bits that wrap after about 49.7 days; compare them with Velk::TickDiff.
DWORD timeGetTime();
DWORD GetTickCount();
// Nanoseconds; the frequency is always 1,000,000,000.
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
// On the manual clock this advances the clock instead of sleeping. Sleep(0) yields.
void Sleep(DWORD ms);
// The timer resolution is already 1 ms here; both only answer success.
UINT timeBeginPeriod(UINT ms);
UINT timeEndPeriod(UINT ms);

namespace Velk {

// How far `later` is past `earlier`, correct across the 32-bit wrap.
constexpr int32_t TickDiff(DWORD later, DWORD earlier) { return static_cast<int32_t>(later - earlier); }

class Clock {
 public:
  // Switches every reader to a manual clock standing at `startMs` (may be near the wrap).
  static void UseManual(DWORD startMs = 0);
  static void UseReal();
  static bool IsManual();
  // Moves the manual clock forward; ignored on the real clock.
  static void Advance(DWORD ms);
  static void AdvanceNanoseconds(uint64_t ns);
  // Nanoseconds of whichever clock is in use.
  static uint64_t Nanoseconds();
};

}  // namespace Velk
