#include "common/MersenneTwister.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The standard library's engine is an independent implementation of the same generator.
TEST(MersenneTwister, MatchesTheStandardSequenceWithTopBitCleared) {
  for (uint32_t seed : {5489u, 1u, 0xFFFFFFFFu}) {
    Velk::MersenneTwister mt;
    mt.Seed(seed);
    std::mt19937 reference(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(mt.Next(), reference() & 0x7FFFFFFFu) << "seed " << seed << " draw " << i;
  }
  Velk::MersenneTwister mt;
  mt.Seed(5489);
  EXPECT_EQ(mt.Next(), 1351727964u);
}

TEST(MersenneTwister, ZeroSeedAndDefaultAreSeed4357) {
  Velk::MersenneTwister byDefault, zero;
  zero.Seed(0);
  std::mt19937 reference(4357);
  for (int i = 0; i < 700; ++i) {
    uint32_t expected = reference() & 0x7FFFFFFFu;
    ASSERT_EQ(byDefault.Next(), expected);
    ASSERT_EQ(zero.Next(), expected);
  }
}

TEST(MersenneTwister, FloatsStayInRangeAndRepeatAfterReseed) {
  Velk::MersenneTwister mt;
  mt.Seed(77);
  std::mt19937 reference(77);
  for (int i = 0; i < 1000; ++i) {
    float f = mt.NextFloat(1.0f);
    ASSERT_GE(f, 0.0f);
    ASSERT_LE(f, 1.0f);
    EXPECT_EQ(f, static_cast<float>((reference() & 0x7FFFFFFFu) / 2147483647.0));
  }
  Velk::SeedRandom(9);
  float a = Velk::RandomFloat(10.0f);
  Velk::SeedRandom(9);
  EXPECT_EQ(Velk::RandomFloat(10.0f), a);
}

}  // namespace
