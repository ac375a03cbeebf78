#include "scene/AnmPlayer.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/QCDeadline.h"
#include "scene/AnmBytes.h"
#include "support/MemoryPak.h"

using AnmTesting::AnmBytes;

namespace {

class Owner : public QCAnmOwner {
 public:
  std::vector<std::string> stopped;
  void OnAnmStopped(const std::string& anim) override { stopped.push_back(anim); }
};

class AnmPlayerTest : public ::testing::Test {
 protected:
  MemoryPak pak;
  Owner owner;
  AnmPlayer player{&owner};

  void SetUp() override { SetGameDt(0.01f); }
  void TearDown() override { SetGameDt(0.0f); }

  void Put(const std::string& name, const AnmBytes& bytes) { pak.Put("anm\\" + name + ".anm", bytes.Build()); }

  // Runs updates until one reports finished; the number of updates run, or -1.
  int UpdatesUntilFinished(int limit) {
    for (int i = 1; i <= limit; ++i) {
      bool finished = false;
      player.Update(finished);
      if (finished) return i;
    }
    return -1;
  }

  std::vector<int> FramesOver(int updates) {
    std::vector<int> frames;
    for (int i = 0; i < updates; ++i) {
      bool finished = false;
      player.Update(finished);
      frames.push_back(player.GetCurrentFrameIndex());
    }
    return frames;
  }
};

TEST_F(AnmPlayerTest, StillEntriesHoldFrameZeroAndNeverFinish) {
  Put("still", AnmBytes().Add("idle", 1, 24, 1));
  ASSERT_TRUE(player.Load("still"));
  ASSERT_TRUE(player.PlayByName("idle", false));
  EXPECT_EQ(player.GetDuration(), 0.0f);
  EXPECT_EQ(UpdatesUntilFinished(300), -1);
  ASSERT_NE(player.GetCurrentFrame(), nullptr);
  EXPECT_EQ(player.GetCurrentFrame()->srcX, 0);
  EXPECT_EQ(player.GetState(), AnmPlayer::kPlaying);
}

TEST_F(AnmPlayerTest, LoopModes) {
  // 4 frames at 4 fps: one second per run.
  Put("modes", AnmBytes().Add("loop", 4, 4, 0).Add("once", 4, 4, 1).Add("back", 4, 4, 2));
  ASSERT_TRUE(player.Load("modes"));

  ASSERT_TRUE(player.PlayByName("loop", false));
  EXPECT_EQ(UpdatesUntilFinished(350), -1);

  ASSERT_TRUE(player.PlayByName("once", false));
  int at = UpdatesUntilFinished(200);
  EXPECT_GE(at, 99);
  EXPECT_LE(at, 101);
  EXPECT_EQ(player.GetCurrentFrameIndex(), 3);
  EXPECT_EQ(UpdatesUntilFinished(200), -1) << "reported once";

  // Backward: the frames run from last to first, and the end is reported at time 0.
  ASSERT_TRUE(player.PlayByName("back", false));
  std::vector<int> frames = FramesOver(1);
  EXPECT_EQ(frames[0], 2);
  at = UpdatesUntilFinished(200);
  EXPECT_GE(at, 98);
  EXPECT_LE(at, 100);
  EXPECT_EQ(player.GetCurrentFrameIndex(), 0);
}

TEST_F(AnmPlayerTest, ForwardRunShowsEachFrameInTurn) {
  Put("run", AnmBytes().Add("run", 6, 6, 0));
  ASSERT_TRUE(player.Load("run"));
  ASSERT_TRUE(player.PlayByName("run", false));
  // Frame trunc(5 * t), t in [0, 1] over 100 updates; then it wraps.
  std::vector<int> frames = FramesOver(100);
  EXPECT_EQ(frames[0], 0);
  EXPECT_EQ(frames[19], 0);  // t just below 0.2
  EXPECT_EQ(frames[20], 1);
  EXPECT_EQ(frames[50], 2);  // t = 0.51
  EXPECT_EQ(frames[98], 4);
  EXPECT_EQ(player.GetCurrentFrame()->srcX, 10 * player.GetCurrentFrameIndex());
}

TEST_F(AnmPlayerTest, NumberedVariantsStopAtTheFirstGap) {
  Put("walk", AnmBytes().Add("walk01", 2, 4, 0).Add("walk02", 2, 4, 0).Add("walk04", 2, 4, 0));
  ASSERT_TRUE(player.Load("walk"));
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(player.PlayByName("walk", false));
    seen.insert(player.GetCurrentIndex());
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1}));
  // A name with no entry and no variant fails, again and again, and leaves the player as it was.
  EXPECT_FALSE(player.PlayByName("run", false));
  EXPECT_FALSE(player.PlayByName("run", false));
  EXPECT_EQ(player.GetState(), AnmPlayer::kPlaying);
  EXPECT_EQ(player.PickVariant("run"), -1);
}

TEST_F(AnmPlayerTest, StopAtFramePausesAtTheFollowingFrameTime) {
  Put("run", AnmBytes().Add("run", 6, 6, 0));
  ASSERT_TRUE(player.Load("run"));
  ASSERT_TRUE(player.PlayByName("run", false));
  ASSERT_TRUE(player.StopAtFrame(2));
  EXPECT_FALSE(player.StopAtFrame(7));
  UpdatesUntilFinished(100);
  EXPECT_EQ(player.GetState(), AnmPlayer::kPaused);
  EXPECT_NEAR(player.GetTime(), 0.5, 1e-6);
  EXPECT_EQ(player.GetCurrentFrameIndex(), 2);
  EXPECT_EQ(FramesOver(10), std::vector<int>(10, 2)) << "paused";
  EXPECT_TRUE(player.Resume());
  EXPECT_EQ(UpdatesUntilFinished(150), -1) << "a looping run never finishes";
}

TEST_F(AnmPlayerTest, KeepTimeContinuesAndEndsOnTheLastFrame) {
  Put("keep", AnmBytes().Add("a", 6, 6, 1).Add("b", 6, 6, 1).Add("short", 2, 10, 1));
  ASSERT_TRUE(player.Load("keep"));
  ASSERT_TRUE(player.PlayByName("a", false));
  FramesOver(40);
  const double t = player.GetTime();
  ASSERT_TRUE(player.PlayByName("b", true));
  EXPECT_EQ(player.GetCurrentIndex(), 1);
  EXPECT_NEAR(player.GetTime(), t, 1e-9);
  int at = UpdatesUntilFinished(100);
  EXPECT_GE(at, 59);
  EXPECT_LE(at, 61);
  EXPECT_EQ(player.GetCurrentFrameIndex(), 5) << "the replay shows its last frame";

  // A run shorter than the time reached starts from 0.
  ASSERT_TRUE(player.PlayByName("a", false));
  FramesOver(50);
  ASSERT_TRUE(player.PlayByName("short", true));
  EXPECT_EQ(player.GetTime(), 0.0);
}

TEST_F(AnmPlayerTest, StopTellsTheOwnerOnlyForRunningAnimations) {
  Put("two", AnmBytes().Add("go", 3, 6, 0).Add("idle", 1, 0, 0));
  ASSERT_TRUE(player.Load("two"));
  EXPECT_FALSE(player.Stop()) << "idle";
  ASSERT_TRUE(player.PlayByName("go", false));
  ASSERT_TRUE(player.PlayByName("idle", false));  // stops "go" first
  EXPECT_EQ(owner.stopped, std::vector<std::string>{"go"});
  EXPECT_TRUE(player.Stop());
  EXPECT_EQ(owner.stopped.size(), 1u) << "a still has no running timer";
  EXPECT_EQ(player.GetState(), AnmPlayer::kStopped);
  EXPECT_EQ(player.GetCurrentFrame(), nullptr);
  EXPECT_FALSE(player.Stop());
}

TEST_F(AnmPlayerTest, DamagedFilesKeepThePreviousAnimationPlaying) {
  Put("good", AnmBytes().Add("run", 6, 6, 0));
  ASSERT_TRUE(player.Load("good"));
  ASSERT_TRUE(player.PlayByName("run", false));
  FramesOver(30);

  AnmBytes bad;
  bad.Add("x", 2, 2, 0).Add("y", 2, 2, 0);
  bad.entries[1].unterminatedName = true;
  Put("bad", bad);
  AnmBytes magic;
  magic.Add("x", 2, 2, 0);
  magic.magic = 0x12345678;
  Put("magic", magic);
  EXPECT_FALSE(player.Load("bad"));
  EXPECT_FALSE(player.Load("magic"));
  EXPECT_FALSE(player.Load("missing"));
  EXPECT_TRUE(player.PlayByName("run", true));
  std::vector<int> frames = FramesOver(30);
  EXPECT_GT(frames.back(), 0);
}

TEST_F(AnmPlayerTest, ReloadRestartsTheCurrentEntryOnlyWhenItStillExists) {
  Put("three", AnmBytes().Add("a", 2, 4, 0).Add("b", 2, 4, 0).Add("c", 4, 4, 0));
  Put("one", AnmBytes().Add("a", 3, 4, 0));
  ASSERT_TRUE(player.Load("three"));
  ASSERT_TRUE(player.PlayByName("b", false));
  ASSERT_TRUE(player.Load("three"));
  EXPECT_EQ(player.GetCurrentIndex(), 1);
  ASSERT_TRUE(player.PlayByName("c", false));
  ASSERT_TRUE(player.Load("one"));
  EXPECT_EQ(player.GetCurrentIndex(), -1);
  EXPECT_EQ(player.GetCurrentFrame(), nullptr);
  FramesOver(5);  // nothing to play, nothing read
  EXPECT_TRUE(player.PlayByName("a", false));
}

}  // namespace

namespace {

// Players of one file share its parsed entries while any of them holds it; once none does, the file
// is read again, and a damaged file is never kept.
TEST_F(AnmPlayerTest, PlayersOfOneFileShareItWhileTheyHoldIt) {
  Put("shared", AnmBytes().Add("a", 2, 4, 0).Add("b", 3, 4, 0));
  ASSERT_TRUE(player.Load("shared"));
  {
    AnmPlayer other(&owner);
    ASSERT_TRUE(other.Load("SHARED"));
    EXPECT_EQ(other.GetEntry(1), player.GetEntry(1));
  }
  EXPECT_FALSE(player.Load("one"));  // missing: the shared file stays
  EXPECT_NE(player.GetEntry(1), nullptr);

  Put("one", AnmBytes().Add("z", 1, 4, 0));
  ASSERT_TRUE(player.Load("one"));
  Put("shared", AnmBytes().Add("c", 2, 4, 0));
  ASSERT_TRUE(player.Load("shared"));
  EXPECT_EQ(player.FindSequence("c"), 0);
  EXPECT_EQ(player.FindSequence("a"), -1);

  AnmBytes bad;
  bad.Add("x", 2, 2, 0);
  bad.magic = 0x12345678;
  Put("later", bad);
  EXPECT_FALSE(player.Load("later"));
  Put("later", AnmBytes().Add("y", 2, 2, 0));
  ASSERT_TRUE(player.Load("later"));
  EXPECT_EQ(player.FindSequence("y"), 0);
}

}  // namespace
