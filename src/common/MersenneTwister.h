#pragma once
// The framework's reproducible generator: standard MT19937 with its output cut to 31 bits. The global
// instance is seeded at start-up and by demo playback, so every value drawn from it repeats in a
// playback. Main thread only.

#include <cstdint>

namespace Velk {

class MersenneTwister {
 public:
  MersenneTwister() { Seed(4357); }

  void Seed(uint32_t seed);      // 0 stands for 4357
  uint32_t Next();               // 0 ... 2^31 - 1
  float NextFloat(float range);  // in [0, range]

 private:
  static constexpr int kWords = 624;
  void Twist();

  uint32_t mState[kWords];
  int32_t mIndex;
};

void SeedRandom(uint32_t seed);
float RandomFloat(float range);

}  // namespace Velk
