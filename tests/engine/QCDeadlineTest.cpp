#include "engine/QCDeadline.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

class DeadlineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllDeadlines();
    SetGameDt(0.25f);
  }
  void TearDown() override { SetGameDt(0.0f); }
};

}  // namespace

TEST_F(DeadlineTest, RunsUntilTheClockReachesItsEnd) {
  QCDeadline d;
  EXPECT_FALSE(d.DeadlineRunning()) << "never started";
  d.StartDeadline(0.0f);
  EXPECT_FALSE(d.DeadlineRunning());
  d.StartDeadline(0.5f);
  EXPECT_TRUE(d.DeadlineRunning());
  AdvanceGameClock();
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), 0.25f);
  AdvanceGameClock();
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), 0.0f);
  EXPECT_FALSE(d.DeadlineRunning()) << "end equal to the clock";
  AdvanceGameClock();
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), -0.25f);
  d.ExtendDeadline(1.0f);
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), 0.75f);
  // A restart starts from now rather than adding.
  d.StartDeadline(0.5f);
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), 0.5f);
  // While paused the waits freeze.
  SetGameDt(0.0f);
  AdvanceGameClock();
  EXPECT_FLOAT_EQ(d.DeadlineRemaining(), 0.5f);
}

TEST_F(DeadlineTest, ResetReachesEveryLiveDeadlineAndNoDeadOne) {
  auto a = std::make_unique<QCDeadline>();
  QCDeadline b;
  auto c = std::make_unique<QCDeadline>();
  AdvanceGameClock();
  for (QCDeadline* d : {a.get(), &b, c.get()}) d->StartDeadline(3.0f);
  QCDeadline copy(b);
  EXPECT_FLOAT_EQ(copy.DeadlineRemaining(), 3.0f);
  a.reset();  // the first and a middle one leave the list
  std::vector<QCDeadline> more(3);
  more.erase(more.begin() + 1);
  ResetAllDeadlines();
  EXPECT_FLOAT_EQ(GetGameClock(), 0.0f);
  for (QCDeadline* d : {&b, c.get(), &copy}) {
    EXPECT_FLOAT_EQ(d->DeadlineRemaining(), 0.0f);
    EXPECT_FALSE(d->DeadlineRunning());
  }
}

TEST_F(DeadlineTest, ThreadsMakeAndDestroyDeadlinesWhileOneResets) {
  auto churn = [] {
    for (int i = 0; i < 2000; ++i) {
      std::vector<QCDeadline> batch(3);
      batch.pop_back();
    }
  };
  std::thread loader(churn);
  std::thread other(churn);
  for (int i = 0; i < 200; ++i) ResetAllDeadlines();
  loader.join();
  other.join();
  QCDeadline last;
  ResetAllDeadlines();
  EXPECT_FALSE(last.DeadlineRunning());
}
