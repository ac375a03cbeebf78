#pragma once
// Elapsed wall time from the high-resolution performance counter.

#include <cstdint>

namespace Velk {

class Stopwatch {
 public:
  void Start();
  void Stop();
  // Milliseconds from Start to Stop, or to now while running; 0 when never started.
  double GetDuration();

 private:
  void UpdateDuration();

  int64_t mStartCounter = 0;
  double mDuration = 0.0;
  bool mRunning = false;
};

}  // namespace Velk
