#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "common/Profiler.h"
#include "common/Stopwatch.h"
#include "platform/clock/Clock.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A section line with its share of the total left out: that depends on the real run time.
bool HasSectionLine(const std::string& report, const std::string& head, const std::string& tail) {
  for (const std::string& line : Lines(report))
    if (line.rfind(head, 0) == 0 && line.size() >= head.size() + tail.size() &&
        line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
      return true;
  return false;
}

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

TEST_F(StopwatchTest, CpuSpeedMeasurementEndsWhenTheCounterStandsStill) { EXPECT_EQ(Velk::MeasureCpuSpeed(), 0); }

TEST(Profiler, RunWithoutEventsReportsOnlyTheTotal) {
  Velk::StartProfiling(false);
  EXPECT_TRUE(Velk::IsProfiling());
  Velk::StopProfiling();
  EXPECT_FALSE(Velk::IsProfiling());
  std::string report = Velk::GetProfileReport();
  std::vector<std::string> lines = Lines(report);
  ASSERT_EQ(lines.size(), 1u) << report;
  EXPECT_EQ(lines[0].rfind("Total Time: ", 0), 0u);
  EXPECT_EQ(report.back(), '\n');
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
  EXPECT_EQ(Lines(report).size(), 3u) << report;
  EXPECT_TRUE(HasSectionLine(report, "Draw (3 calls, %", " time): 5.00 (1.67 avg, 4.00 longest)")) << report;
  EXPECT_TRUE(HasSectionLine(report, "Draw (1 calls, %", " time): 2.00 (2.00 avg, 2.00 longest)")) << report;

  Velk::StartProfiling(true);  // a reset forgets the sections and leaves the flag alone
  EXPECT_FALSE(Velk::IsProfiling());
  Velk::StopProfiling();
  EXPECT_EQ(Velk::GetProfileReport().find("Draw"), std::string::npos);
}

}  // namespace
