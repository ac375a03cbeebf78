#include "app/AppTestSupport.h"
#include "platform/metrics/ScreenSaver.h"
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
  // The clock also moves on between steps, so that a loop that never sleeps cannot hold a test up.
  void RunPausableUntil(DWORD time) {
    while (TickDiff(timeGetTime(), time) < 0) {
      Steps(1);
      Clock::Advance(1);
    }
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

// The desktop's saver is due after 10 s without input: a window stops updating and drawing 8 s
// after the last input, so the saver can start, and the next input brings it back.
TEST_F(MainLoopTest, AWindowPausesWhileTheScreenSaverIsDueAndTheNextInputResumesIt) {
  CountingApp& app = MakeLoopApp(true);
  app.mIsWindowed = true;
  app.mLoadingThreadCompleted = true;  // a paused loop draws (and so checks again) only after loading
  ScreenSaver::Inject(ScreenSaverState{10, true, false, 5000});
  RunPausableUntil(12500);
  EXPECT_FALSE(app.mIdlePaused) << "7.5 s without input";
  RunPausableUntil(14500);
  ASSERT_TRUE(app.mIdlePaused);
  const DWORD updates = app.mUpdateCount;
  const DWORD draws = app.mDrawCount;
  RunPausableUntil(20000);
  EXPECT_EQ(app.mUpdateCount, updates);
  EXPECT_EQ(app.mDrawCount, draws);

  ScreenSaver::Inject(ScreenSaverState{10, true, true, 20000});
  RunPausableUntil(21500);
  EXPECT_TRUE(app.mIdlePaused) << "input while the saver runs is the saver's";
  ScreenSaver::Inject(ScreenSaverState{10, true, false, 21500});
  RunPausableUntil(23000);
  EXPECT_FALSE(app.mIdlePaused);
  EXPECT_GT(app.mUpdateCount, updates);
  EXPECT_GT(app.mDrawCount, draws);

  ScreenSaver::Inject(ScreenSaverState{10, false, false, 0});
  RunPausableUntil(34000);
  EXPECT_FALSE(app.mIdlePaused) << "a disabled saver never pauses";
  ScreenSaver::Inject(std::nullopt);
}

// Paused, the loop neither updates nor draws and sleeps out each frame, so that the machine rests;
// a mouse move on the window ends the pause before the next frame is over, and what the pause
// lasted is not caught up.
TEST_F(MainLoopTest, AnIdlePauseSleepsEachFrameAndOneInputEndsItWithinAFrame) {
  CountingApp& app = MakeLoopApp(true);
  app.mIsWindowed = true;
  ScreenSaver::Inject(ScreenSaverState{10, true, false, 5000});
  RunPausableUntil(14500);
  ASSERT_TRUE(app.mIdlePaused);

  const DWORD updates = app.mUpdateCount;
  const DWORD draws = app.mDrawCount;
  const DWORD sleeps = app.mSleepCount;
  const DWORD pausedAt = timeGetTime();
  Steps(200);  // a pump and a timing step a frame
  EXPECT_EQ(app.mUpdateCount, updates);
  EXPECT_EQ(app.mDrawCount, draws);
  EXPECT_EQ(app.mSleepCount - sleeps, 100u);
  EXPECT_EQ(TickDiff(timeGetTime(), pausedAt), 1000) << "a whole frame slept each time";
  EXPECT_TRUE(app.mIdlePaused);

  // The desktop sees the move too, as a real one would be.
  ScreenSaver::Inject(ScreenSaverState{10, true, false, timeGetTime()});
  const DWORD movedAt = timeGetTime();
  app.mDeferredInput.Add(DeferredInput{nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(20, 30)});
  for (int step = 0; step < 10 && app.mUpdateCount == updates; ++step) Steps(1);
  EXPECT_FALSE(app.mIdlePaused);
  EXPECT_LE(TickDiff(timeGetTime(), movedAt), 10);
  EXPECT_EQ(app.mUpdateCount, updates + 1) << "the paused time is not caught up";
  RunUntil(movedAt + 100);
  EXPECT_GT(app.mDrawCount, draws);
  EXPECT_FALSE(app.mIdlePaused);
  ScreenSaver::Inject(std::nullopt);
}

TEST_F(MainLoopTest, FullScreenNeverPausesForTheScreenSaver) {
  CountingApp& app = MakeLoopApp(true);
  app.mIsWindowed = false;
  ScreenSaver::Inject(ScreenSaverState{3, true, false, 0});
  RunPausableUntil(9000);
  EXPECT_FALSE(app.mIdlePaused);
  EXPECT_GT(app.mUpdateCount, 300u);
  ScreenSaver::Inject(std::nullopt);
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
  Steps(5 * 2);                 // per frame: pump, update, catch-up, pump, draw
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
