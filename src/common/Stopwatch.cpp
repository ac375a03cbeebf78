#include "common/Stopwatch.h"

#include "platform/clock/Clock.h"

namespace Velk {

void Stopwatch::Start() {
  mRunning = true;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  mStartCounter = counter.QuadPart;
}

void Stopwatch::Stop() {
  if (!mRunning) return;
  UpdateDuration();
  mRunning = false;
}

double Stopwatch::GetDuration() {
  if (mRunning) UpdateDuration();
  return mDuration;
}

void Stopwatch::UpdateDuration() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return;
  mDuration = static_cast<double>(now.QuadPart - mStartCounter) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace Velk
