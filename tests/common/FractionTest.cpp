#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "common/CriticalSection.h"
#include "common/Fraction.h"

namespace {

TEST(Fraction, ReducesWithTheSignOfEuclidsDivisor) {
  Velk::Fraction f;
  EXPECT_EQ(f.mNumerator, 1);
  EXPECT_EQ(f.mDenominator, 1);
  f.Set(1600, 1200);
  EXPECT_EQ(f.mNumerator, 4);
  EXPECT_EQ(f.mDenominator, 3);
  f.Set(2, -4);
  EXPECT_EQ(f.mNumerator, 1);
  EXPECT_EQ(f.mDenominator, -2);
  f.Set(-2, 4);
  EXPECT_EQ(f.mNumerator, 1);
  EXPECT_EQ(f.mDenominator, -2);
  f.Set(5, 0);
  EXPECT_EQ(f.mNumerator, 1);
  EXPECT_EQ(f.mDenominator, 0);
  f.Set(0, 7);
  EXPECT_EQ(f.mNumerator, 0);
  EXPECT_EQ(f.mDenominator, 1);
  f.Set(0, 0);  // no value: falls back to 1/1 instead of dividing by zero
  EXPECT_EQ(f.mNumerator, 1);
  EXPECT_EQ(f.mDenominator, 1);
}

TEST(CriticalSection, ReentrantForTheOwnerExclusiveForOthers) {
  Velk::CriticalSection cs;
  std::lock_guard outer(cs);
  EnterCriticalSection(&cs.mCriticalSection);  // the owner may take it again, either way
  { std::lock_guard inner(cs); }
  LeaveCriticalSection(&cs.mCriticalSection);
  std::atomic<bool> otherGotIt{true};
  std::thread([&] {
    otherGotIt = cs.try_lock();
    if (otherGotIt) cs.unlock();
  }).join();
  EXPECT_FALSE(otherGotIt);
}

}  // namespace
