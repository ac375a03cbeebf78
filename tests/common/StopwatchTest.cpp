#include <gtest/gtest.h>

#include <regex>

#include "common/Profiler.h"
#include "common/Stopwatch.h"
#include "platform/clock/Clock.h"

namespace {

class StopwatchTest : public testing::Test {
 protected:
  void SetUp() override { Velk::Clock::UseManual(1000); }
  void TearDown() override { Velk::Clock::UseReal(); }
};

TEST_F(StopwatchTest, StopwatchMeasuresUntilStopped) {
  Velk::Stopwatch watch;
  EXPECT_EQ(watch.GetDuration(), 0.0);
  watch.Stop();  // not running: nothing changes
  EXPECT_EQ(watch.GetDuration(), 0.0);
  watch.Start();
  Velk::Clock::Advance(15);
  EXPECT_DOUBLE_EQ(watch.GetDuration(), 15.0);
  Velk::Clock::AdvanceNanoseconds(2500000);
  watch.Stop();
  Velk::Clock::Advance(100);
  EXPECT_DOUBLE_EQ(watch.GetDuration(), 17.5);
  watch.Start();  // starts over
  Velk::Clock::Advance(3);
  EXPECT_DOUBLE_EQ(watch.GetDuration(), 3.0);
}

TEST_F(StopwatchTest, CpuSpeedMeasurementEndsWhenTheCounterStandsStill) {
  EXPECT_EQ(Velk::MeasureCpuSpeed(), 0);
}

TEST(Profiler, RunWithoutEventsReportsOnlyTheTotal) {
  Velk::StartProfiling(false);
  EXPECT_TRUE(Velk::IsProfiling());
  Velk::StopProfiling();
  EXPECT_FALSE(Velk::IsProfiling());
  std::string report = Velk::GetProfileReport();
  EXPECT_TRUE(std::regex_match(report, std::regex("Total Time: [0-9]+\\.[0-9]{2}\n"))) << report;
}

TEST(Profiler, NestedEntriesCountAsCallsButOneSpan) {
  static const char kDraw[] = "Draw";
  static const char kOther[] = "Draw";  // same text, different section
  const uint64_t ms = static_cast<uint64_t>(Velk::GetCpuSpeed()) / 1000;
  ASSERT_GT(ms, 0u);

  Velk::QueueProfileEvent(kDraw, 0, true);  // not profiling yet: dropped
  Velk::StartProfiling(false);
  uint64_t t = Velk::ReadTimeStampCounter();
  Velk::QueueProfileEvent(kDraw, t, true);
  Velk::QueueProfileEvent(kDraw, t + 1 * ms, true);
  Velk::QueueProfileEvent(kDraw, t + 2 * ms, false);
  Velk::QueueProfileEvent(kDraw, t + 4 * ms, false);
  Velk::QueueProfileEvent(kDraw, t + 5 * ms, true);
  Velk::QueueProfileEvent(kDraw, t + 6 * ms, false);
  Velk::QueueProfileEvent(kOther, t + 6 * ms, false);  // never entered: ignored
  Velk::QueueProfileEvent(kOther, t, true);
  Velk::QueueProfileEvent(kOther, t + 2 * ms, false);
  Velk::StopProfiling();

  std::string report = Velk::GetProfileReport();
  EXPECT_TRUE(std::regex_search(report, std::regex("\nDraw \\(3 calls, %[0-9.]+ time\\): 5\\.00 \\(1\\.67 avg, 4\\.00 longest\\)\n")))
      << report;
  EXPECT_TRUE(std::regex_search(report, std::regex("\nDraw \\(1 calls, %[0-9.]+ time\\): 2\\.00 \\(2\\.00 avg, 2\\.00 longest\\)\n")))
      << report;

  Velk::StartProfiling(true);  // a reset forgets the sections and leaves the flag alone
  EXPECT_FALSE(Velk::IsProfiling());
  Velk::StopProfiling();
  EXPECT_EQ(Velk::GetProfileReport().find("Draw"), std::string::npos);
}

}  // namespace
