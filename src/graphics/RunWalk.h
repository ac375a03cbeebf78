#pragma once
// The walk along one row of a source's run table (each byte: the pixels from it to the end of its run
// of one kind, capped at 255), shared by the blits that pass over or draw long runs whole and leave
// everything else to a row routine.
#include <algorithm>
#include <cstdint>

namespace Velk {

// The row routine takes stretches of up to kRunStretch pixels, which may run on into later runs of
// any length.
constexpr int kRunStretch = 256;

// The pixels of the run from i on, within [0, n), as the run table gives them.
inline int RunAt(const uint8_t* runs, int i, int n) { return std::max(1, std::min<int>(runs[i], n - i)); }

// Walks pixels [0, n) whose run lengths are runs[0..n): where a run of at least LongRun pixels
// starts, whole(i, length) may take it (and returns true); everything else goes to part(i, count).
template <int LongRun, typename Whole, typename Part>
void WalkRuns(const uint8_t* runs, int n, Whole whole, Part part) {
  for (int i = 0; i < n;) {
    const int run = RunAt(runs, i, n);
    if (run >= LongRun && whole(i, run)) {
      i += run;
      continue;
    }
    const int m = std::min(kRunStretch, n - i);
    part(i, m);
    i += m;
  }
}

}  // namespace Velk
