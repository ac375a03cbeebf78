#pragma once
// A process-wide accumulator of named timing sections, timed with the processor's time-stamp counter
// and reported as text. Sections are told apart by the address of their name, not its text. Main
// thread only.

#include <cstdint>
#include <string>

namespace Velk {

uint64_t ReadTimeStampCounter();
// Time-stamp ticks per second, measured over a hundredth of a second; 0 when it cannot be measured.
int64_t MeasureCpuSpeed();
// The measured speed, cached after the first call; never below 1.
int64_t GetCpuSpeed();

// Empties the sections and the event queue and records the start tick. resetOnly leaves the
// profiling flag as it was.
void StartProfiling(bool resetOnly);
bool IsProfiling();
// Queues the entry to (isStart) or exit from a section; ignored while not profiling.
void QueueProfileEvent(const char* section, uint64_t tick, bool isStart);
void FlushProfileEvents();
void StopProfiling();
// "Total Time" and one line per section, in milliseconds of the last run.
std::string GetProfileReport();

}  // namespace Velk
