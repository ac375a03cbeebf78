// The loading thread and the board's life: a second start while a load runs is refused, and a board
// destroyed during a load waits for it.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "scene/SceneFixture.h"

using namespace SceneTesting;

namespace {

class Gate {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(mMutex);
    mOpen = true;
    mChanged.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [this] { return mOpen; });
  }

 private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  bool mOpen = false;
};

// Its load waits for the test's gate before doing the real work.
class SlowBoard : public TestBoard {
 public:
  SlowBoard(Gate& started, Gate& release, Gate& destroying)
      : mStarted(started), mRelease(release), mDestroying(destroying) {}
  // As every board whose load may still run: wait for it before its own members go.
  ~SlowBoard() override {
    mDestroying.Open();
    JoinLevelLoading();
  }
  void LoadLevel(int level, int mode) override {
    ++loads;
    mStarted.Open();
    mRelease.Wait();
    TestBoard::LoadLevel(level, mode);
  }
  std::atomic<int> loads{0};

 private:
  Gate& mStarted;
  Gate& mRelease;
  Gate& mDestroying;
};

using LevelLoadingThreadTest = SceneFixture;

TEST_F(LevelLoadingThreadTest, ASecondStartIsRefusedAndDestroyingWaitsForTheLoad) {
  Gate started, release, destroying;
  auto* board = new SlowBoard(started, release, destroying);
  LogCapture log;
  board->StartLevelLoading(1, 0);
  started.Wait();
  EXPECT_TRUE(board->IsLevelLoading());
  board->StartLevelLoading(2, 0);
  EXPECT_TRUE(log.Has("still loading"));

  // The load goes on once the board's destruction has begun; the destructor waits for it.
  std::thread releaser([&] {
    destroying.Wait();
    release.Open();
  });
  const std::atomic<int>& loads = board->loads;
  EXPECT_EQ(loads.load(), 1);
  delete board;
  releaser.join();
  EXPECT_TRUE(SceneObjectList.empty()) << "the loaded scene went with the board";
}

TEST_F(LevelLoadingThreadTest, ALoadOnTheThreadIsHandedOver) {
  TestBoard& b = Board();
  b.StartLevelLoading(1, 0);
  EXPECT_FALSE(b.mVisible);
  b.JoinLevelLoading();
  ASSERT_TRUE(b.IsLevelLoading());
  b.OnLevelLoaded();
  EXPECT_TRUE(b.mRunning);
  EXPECT_EQ(SceneObjectList.size(), 6u);

  // A restart reloads from the level file and starts over.
  b.AddMoney(40);
  b.RestartLevel();
  b.JoinLevelLoading();
  b.OnLevelLoaded();
  EXPECT_EQ(b.mMoney, 0);
  EXPECT_EQ(b.Count("ReadLevel"), 2);
  EXPECT_EQ(b.Count("ResetItems"), 1) << "the old level was cleared first";
}

}  // namespace
