#pragma once
// The C runtime's random generator that the program was written against: 15-bit results
// (0 ... 32767) from state = state * 214013 + 2531011, one state per process behind a lock. The C
// library's own rand has other numbers and another range, so the program calls these instead.

namespace Velk {

constexpr int kRandMax = 32767;

int rand();
// As in the C runtime, the state before the first srand is that of srand(1).
void srand(unsigned seed);

}  // namespace Velk
