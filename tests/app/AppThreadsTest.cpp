#include "app/AppTestSupport.h"
#include "app/RegistryStore.h"
#include "graphics/DDInterface.h"
#include "platform/threads/Threads.h"

#include <mutex>
#include <thread>

namespace Velk::Testing {
namespace {

// The real clock: the worker threads sleep for real here.
using AppThreadsTest = AppTest;

TEST_F(AppThreadsTest, TheFirstUpdateAfterLoadingHandsOverOnce) {
  CountingApp& app = MakeApp();
  app.mMainThreadId = GetCurrentThreadId();
  EXPECT_EQ(app.GetLoadingProgress(), 0.0);
  app.WaitForLoader();  // nothing started: returns at once

  app.StartLoadingThread();
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_ABOVE_NORMAL);
  EXPECT_TRUE(app.mLoadingRaised);
  app.WaitForLoader();
  EXPECT_EQ(app.backgroundLoads, 1);
  EXPECT_EQ(app.loadingFinished, 0);  // only the main thread's update hands over

  EXPECT_TRUE(app.UpdateOnce());
  EXPECT_TRUE(app.UpdateOnce());
  EXPECT_EQ(app.loadingFinished, 1);
  EXPECT_FALSE(app.mLoadingRaised);
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
  EXPECT_EQ(app.GetLoadingProgress(), 1.0);
}

TEST_F(AppThreadsTest, ProgressCountsTheLoadersSteps) {
  CountingApp& app = MakeApp();
  app.mLoadingThreadStarted = true;
  app.mLoadingThreadCompleted = true;
  EXPECT_EQ(app.GetLoadingProgress(), 0.0);  // no steps announced
  app.mNumLoadingThreadTasks = 4;
  app.mCompletedLoadingThreadTasks = 1;
  EXPECT_EQ(app.GetLoadingProgress(), 0.25);
  app.mCompletedLoadingThreadTasks = 6;
  EXPECT_EQ(app.GetLoadingProgress(), 1.0);
}

TEST_F(AppThreadsTest, ShutdownWaitsForTheCursorThread) {
  CountingApp& app = StartApp();
  app.StartCursorThread();
  EXPECT_TRUE(app.mCursorThreadRunning);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  app.Shutdown();
  EXPECT_FALSE(app.mCursorThreadRunning);
}

// A display lost inside a present ends the program from under the display lock, which the cursor
// thread may be waiting on: the shutdown still writes what the program keeps instead of hanging.
TEST_F(AppThreadsTest, AShutdownUnderTheDisplayLockStillWritesTheSettings) {
  CountingApp& app = StartApp();
  ASSERT_NE(app.mDDInterface, nullptr);
  RegistryStore store(app.mRegKey);
  app.mDrawCount = 1;  // from now on the cursor thread reads the drawn cursor under the lock
  std::unique_lock present(app.mDDInterface->mCritSect);
  app.StartCursorThread();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  app.Shutdown();
  int inProgress = -1;
  EXPECT_TRUE(store.ReadInteger("InProgress", inProgress));
  EXPECT_EQ(inProgress, 0);
  present.unlock();
  while (app.mCursorThreadRunning) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// The end of the session told on another thread (a display lost under the cursor thread ends the
// process right after it): the settings are written before that thread goes on.
TEST_F(AppThreadsTest, TheSessionsEndOnAnotherThreadWritesTheSettingsAtOnce) {
  CountingApp& app = StartApp();
  RegistryStore store(app.mRegKey);
  int inProgress = -1;
  ASSERT_TRUE(store.ReadInteger("InProgress", inProgress));
  ASSERT_EQ(inProgress, 1);
  std::thread([&app] { SendMessageW(app.mHWnd, WM_ENDSESSION, TRUE, 0); }).join();
  EXPECT_TRUE(store.ReadInteger("InProgress", inProgress));
  EXPECT_EQ(inProgress, 0);
  EXPECT_FALSE(app.mShutdown) << "the main thread still does the rest";
  app.Shutdown();
}

TEST_F(AppThreadsTest, AShutdownAskedByTheLoaderWaitsForTheMainThread) {
  class SelfStopping : public CountingApp {
   public:
    void LoadResourcesInBackground() override { Shutdown(); }
  };
  SelfStopping app;
  app.mIsWindowed = true;
  app.mEnforceSingleInstance = false;
  app.Init();
  app.Run();  // the loop ends once the main thread has seen the request
  EXPECT_TRUE(app.mShutdown);
  EXPECT_FALSE(app.mCursorThreadRunning);
  EXPECT_TRUE(app.mLoadingThreadCompleted);
}

}  // namespace
}  // namespace Velk::Testing
