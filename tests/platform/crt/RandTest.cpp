#include "platform/crt/Rand.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace {

TEST(Rand, KnownSequences) {
  Velk::srand(1);
  EXPECT_EQ(Velk::rand(), 41);
  EXPECT_EQ(Velk::rand(), 18467);
  EXPECT_EQ(Velk::rand(), 6334);
  EXPECT_EQ(Velk::rand(), 26500);
  EXPECT_EQ(Velk::rand(), 19169);
  // Seed 0: state 2531011, 2531011 >> 16 = 38.
  Velk::srand(0);
  EXPECT_EQ(Velk::rand(), 38);
  // The state wraps at 32 bits: seed 0xFFFFFFFF gives (-214013 + 2531011) = 2316998, >> 16 = 35.
  Velk::srand(0xFFFFFFFFu);
  EXPECT_EQ(Velk::rand(), 35);
}

TEST(Rand, StaysInRangeAndReseedingRepeats) {
  Velk::srand(12345);
  std::vector<int> first;
  for (int i = 0; i < 1000; ++i) {
    first.push_back(Velk::rand());
    ASSERT_GE(first.back(), 0);
    ASSERT_LE(first.back(), Velk::kRandMax);
  }
  Velk::srand(12345);
  for (int expected : first) ASSERT_EQ(Velk::rand(), expected);
}

// One generator for the process: threads drawing at once neither lose nor repeat a step.
TEST(Rand, ThreadsShareOneSequence) {
  Velk::srand(7);
  std::multiset<int> expected;
  for (int i = 0; i < 4000; ++i) expected.insert(Velk::rand());
  Velk::srand(7);
  std::vector<std::vector<int>> drawn(4);
  std::vector<std::thread> threads;
  for (auto& out : drawn) {
    threads.emplace_back([&out] {
      for (int i = 0; i < 1000; ++i) out.push_back(Velk::rand());
    });
  }
  for (auto& t : threads) t.join();
  std::multiset<int> got;
  for (const auto& out : drawn) got.insert(out.begin(), out.end());
  EXPECT_EQ(got, expected);
}

}  // namespace
