#include "common/MersenneTwister.h"

namespace Velk {

namespace {

constexpr int kMiddle = 397;
constexpr uint32_t kMatrix = 0x9908B0DF;
constexpr uint32_t kUpperMask = 0x80000000;
constexpr uint32_t kLowerMask = 0x7FFFFFFF;

MersenneTwister gRandom;

}  // namespace

void MersenneTwister::Seed(uint32_t seed) {
  if (seed == 0) seed = 4357;
  mState[0] = seed;
  for (int i = 1; i < kWords; ++i)
    mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + static_cast<uint32_t>(i);
  mIndex = kWords;
}

void MersenneTwister::Twist() {
  for (int i = 0; i < kWords; ++i) {
    uint32_t y = (mState[i] & kUpperMask) | (mState[(i + 1) % kWords] & kLowerMask);
    mState[i] = mState[(i + kMiddle) % kWords] ^ (y >> 1) ^ ((y & 1) ? kMatrix : 0u);
  }
  mIndex = 0;
}

uint32_t MersenneTwister::Next() {
  if (mIndex >= kWords) Twist();
  uint32_t y = mState[mIndex++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y & 0x7FFFFFFF;
}

float MersenneTwister::NextFloat(float range) {
  return static_cast<float>(static_cast<double>(Next()) / 2147483647.0 * range);
}

void SeedRandom(uint32_t seed) { gRandom.Seed(seed); }

float RandomFloat(float range) { return gRandom.NextFloat(range); }

}  // namespace Velk
