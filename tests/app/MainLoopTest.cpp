#include "app/AppTestSupport.h"
#include "platform/threads/Threads.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <functional>
#include <thread>

namespace Velk::Testing {
namespace {

// Changes with every update, so every frame has something to present; may take time doing it.
class Ticker : public Widget {
 public:
  void Update() override {
    Widget::Update();
    ++updates;
    if (work) work();
    Invalidate();
  }
  int updates = 0;
  std::function<void()> work;
};

class MainLoopTest : public AppTest {
 protected:
  CountingApp& MakeLoopApp(bool withTicker) {
    Clock::UseManual(5000);
    CountingApp& app = MakeApp();
    app.mMainThreadId = GetCurrentThreadId();
    app.ResetTiming(false);
    app.mLastDrawTick = timeGetTime();
    app.mNextDrawTick = timeGetTime();
    if (withTicker) app.mWidgetManager->AddChild(&ticker_);
    return app;
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) {
      bool updated = false;
      app_->RunLoopStep(&updated);
    }
  }
  void RunUntil(DWORD time) {
    while (TickDiff(timeGetTime(), time) < 0) Steps(1);
  }
  ~MainLoopTest() override {
    if (app_) app_->mWidgetManager->RemoveChild(&ticker_);
  }

  Ticker ticker_;
};

TEST_F(MainLoopTest, UpdatesRunEveryTenMillisecondsAndTheIdleLoopSleepsTheRest) {
  CountingApp& app = MakeLoopApp(false);
  RunUntil(6000);
  Steps(2);  // the update due at 6000
  // One update per 10 ms of the manual clock, which only the loop's own sleeps move on.
  EXPECT_EQ(app.mUpdateCount, 100u);
  EXPECT_EQ(app.mSleepCount, 100u);
}

TEST_F(MainLoopTest, AnUnchangedScreenIsPresentedOncePerSecond) {
  CountingApp& app = MakeLoopApp(false);
  RunUntil(7500);
  EXPECT_EQ(app.mDrawCount, 2u);  // at 6000 and 7000
  EXPECT_TRUE(app.mLastDrawWasEmpty);
}

TEST_F(MainLoopTest, AChangedScreenIsPresentedAfterEveryUpdate) {
  CountingApp& app = MakeLoopApp(true);
  RunUntil(5500);
  EXPECT_EQ(app.mDrawCount, app.mUpdateCount);
  EXPECT_EQ(static_cast<DWORD>(ticker_.updates), app.mUpdateCount);
}

TEST_F(MainLoopTest, AStallIsCaughtUpForAtMost200Milliseconds) {
  CountingApp& app = MakeLoopApp(false);
  RunUntil(5100);
  DWORD before = app.mUpdateCount;
  Clock::Advance(250);
  RunUntil(timeGetTime() + 1);
  // 20 updates owed by the stall and none for the 50 ms beyond the cap.
  while (app.mTimer.mPendingTime >= 10.0) Steps(1);
  EXPECT_EQ(app.mUpdateCount - before, 20u);
}

TEST_F(MainLoopTest, SixtyHertzVSyncAveragesOneHundredUpdatesASecond) {
  CountingApp& app = MakeLoopApp(true);
  app.mVSyncUpdates = true;
  app.mRefreshRate = 60;
  app.mIsPhysWindowed = false;  // full screen: the refresh paces the loop
  Steps(5 * 2);  // per frame: pump, update, catch-up, pump, draw
  EXPECT_EQ(app.mDrawCount, 2u);
  EXPECT_EQ(app.mUpdateCount, 3u);  // the second frame's fraction adds one
  Steps(5 * 58);
  // A second of frames; the single-precision step may leave the last extra update one frame late.
  EXPECT_EQ(app.mDrawCount, 60u);
  EXPECT_GE(app.mUpdateCount, 99u);
  EXPECT_LE(app.mUpdateCount, 100u);
}

TEST_F(MainLoopTest, WhileLoadingPresentsAreAtLeast50MillisecondsApart) {
  CountingApp& app = MakeLoopApp(true);
  app.mLoadingThreadStarted = true;  // a loader that never finishes
  RunUntil(5500);
  EXPECT_GE(app.mDrawCount, 9u);
  EXPECT_LE(app.mDrawCount, 10u);
  EXPECT_GT(app.mUpdateCount, 40u);
  app.mLoadingThreadCompleted = true;
}

TEST_F(MainLoopTest, TheRaisedMainThreadYieldsAtMost250Milliseconds) {
  CountingApp& app = MakeLoopApp(true);
  app.mLoadingRaised = true;
  app.mUpdateAppState = 1;
  Clock::Advance(10);
  ticker_.work = [] { Clock::Advance(40); };  // an update that takes 40 ms
  DWORD start = timeGetTime();
  EXPECT_FALSE(app.StepTiming(false));  // it would yield
  EXPECT_EQ(timeGetTime() - start, 40u);
  app.mUpdateAppState = 1;
  app.ResetTiming(false);
  Clock::Advance(10);
  start = timeGetTime();
  ticker_.work = [] { Clock::Advance(200); };
  EXPECT_TRUE(app.StepTiming(true));
  EXPECT_EQ(timeGetTime() - start, 200u + 250u);
}

TEST_F(MainLoopTest, ShutdownFromAnotherThreadTakesEffectAtTheNextTimingStep) {
  CountingApp& app = MakeLoopApp(false);
  std::thread other([&app] { app.Shutdown(); });
  other.join();
  EXPECT_FALSE(app.mShutdown);
  EXPECT_EQ(app.shutdowns, 0);
  app.StepTiming(true);
  EXPECT_TRUE(app.mShutdown);
  EXPECT_TRUE(app.mExitToTop);
  app.Shutdown();
  EXPECT_EQ(app.shutdowns, 1);
  bool updated = true;
  EXPECT_FALSE(app.RunLoopStep(&updated));  // nested loops unwind
  EXPECT_FALSE(updated);
}

}  // namespace
}  // namespace Velk::Testing
