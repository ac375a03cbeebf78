#include "engine/QCMusicManager.h"

#include "engine/SoundTestSupport.h"
#include "engine/SquallRecorder.h"

#include <gtest/gtest.h>

namespace {

const char* kCfg = R"(<root><music>
  <stream name="menu" path="mus\menu.ogg"/>
  <stream name="game" path="mus\game.ogg"/>
</music></root>)";

class QCMusicManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSoundState();
    StartSoundSystem(0);
    Load(kCfg);
    squall.Clear();
  }
  void TearDown() override { ResetSoundState(); }

  bool Load(const std::string& xml) {
    bool ok = false;
    WithCfgRoot(pak, xml, [&](IXMLDOMNode* root) { ok = music.LoadMusicTable(root); });
    return ok;
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) squall.RunWorkers();
  }
  int Channel(const char* name) { return static_cast<int>(music.Find(name)->channel); }

  MemoryPak pak;
  SquallRecorder squall;
  QCMusicManager music;
};

std::vector<int> FadeInFrom60() {
  std::vector<int> v;
  for (int i = 1; i <= 20; ++i) v.push_back(3 * i);
  return v;
}

// Worked out by stepping a 32-bit float down from 1.0000001 by 0.05 and taking the product with 60
// in double: the 11th step is 0.44999999, which gives 26 (a float product rounds it up to 27).
const std::vector<int> kFadeOutFrom60 = {57, 54, 51, 48, 45, 42, 39, 36, 33, 30, 26, 23, 20, 17, 14, 11, 8, 5, 2, 0};

TEST_F(QCMusicManagerTest, AStreamFadesInAndTheOldOneFadesOutAndUnloads) {
  SetMusicVolume(60);
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"ChannelGroup_SetVolume", {-1, 60}}}));
  squall.Clear();
  EXPECT_TRUE(music.Play("menu"));
  const int menu = Channel("menu");
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"Sample_LoadFile", {0}},
                                                   {"Sample_PlayEx", {1, 1, -1, 1, 0, 0, 44100, 50}},
                                                   {"Channel_SetWorker", {menu, 1, 50}}}))
      << "the first stream has no fade-out partner";
  squall.Clear();
  Steps(25);
  EXPECT_EQ(squall.Volumes(menu), FadeInFrom60());
  EXPECT_EQ(squall.Named("Channel_SetWorker"), (std::vector<SquallCall>{{"Channel_SetWorker", {menu, 0, 100}}}));

  squall.Clear();
  music.Play("game");
  const int game = Channel("game");
  EXPECT_EQ(squall.Named("Channel_SetWorker"),
            (std::vector<SquallCall>{{"Channel_SetWorker", {game, 1, 50}}, {"Channel_SetWorker", {menu, 1, 100}}}));
  Steps(19);
  EXPECT_NE(squall.liveChannels.count(menu), 0u);
  Steps(1);
  EXPECT_EQ(squall.Volumes(menu), kFadeOutFrom60);
  EXPECT_EQ(squall.Volumes(game), FadeInFrom60());
  EXPECT_EQ(squall.liveChannels.count(menu), 0u) << "stopped on the 20th step";
  EXPECT_EQ(squall.Named("Sample_Unload"), (std::vector<SquallCall>{{"Sample_Unload", {1}}}));
  EXPECT_EQ(music.Find("menu")->channel, 0u);
  EXPECT_EQ(music.Find("menu")->sample, 0u);
  EXPECT_TRUE(squall.workers.empty());

  squall.Clear();
  music.Play("menu");
  EXPECT_EQ(squall.Named("Sample_LoadFile").size(), 1u) << "an unloaded stream loads again";
}

TEST_F(QCMusicManagerTest, TheCurrentNameAndUnknownNamesChangeNothing) {
  music.Play("menu");
  Steps(5);
  squall.Clear();
  EXPECT_TRUE(music.Play("menu"));
  EXPECT_TRUE(music.Play("silence"));
  Steps(0);
  EXPECT_TRUE(squall.calls.empty());
  EXPECT_EQ(music.Current(), "menu");
}

TEST_F(QCMusicManagerTest, ANewVolumeReachesTheGroupAndTheNextFadeStep) {
  music.Play("menu");
  Steps(10);
  squall.Clear();
  SetMusicVolume(20);
  Steps(1);
  EXPECT_EQ(squall.calls.front(), (SquallCall{"ChannelGroup_SetVolume", {-1, 20}}));
  EXPECT_EQ(squall.Volumes(Channel("menu")), std::vector<int>{11}) << "0.55 of 20";
  EXPECT_EQ(GetMusicVolume(), 20);
}

TEST_F(QCMusicManagerTest, PauseAndResumeActOnTheCurrentChannel) {
  music.Pause();
  EXPECT_TRUE(squall.calls.empty()) << "nothing current yet";
  music.Play("game");
  squall.Clear();
  music.Pause();
  music.Resume();
  const int game = Channel("game");
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"Channel_Pause", {game, 1}}, {"Channel_Pause", {game, 0}}}));
}

// Asked for again while its fade-out runs, a stream turns round on its own channel from where its
// fade stands, and nothing is unloaded under a channel that still plays.
TEST_F(QCMusicManagerTest, AStreamAskedForDuringItsFadeOutTurnsRound) {
  SetMusicVolume(100);
  music.Play("menu");
  const int menu = Channel("menu");
  Steps(10);  // fade 0.5
  music.Play("game");
  Steps(3);  // menu down to 0.35
  squall.Clear();
  music.Play("menu");
  EXPECT_TRUE(squall.Named("Sample_PlayEx").empty());
  EXPECT_EQ(Channel("menu"), menu);
  Steps(1);
  const std::vector<int> volumes = squall.Volumes(menu);
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_EQ(volumes[0], 40) << "up from 35";
  Steps(30);
  EXPECT_EQ(squall.Volumes(menu).back(), 100);
  EXPECT_EQ(squall.liveChannels.count(menu), 1u);
  EXPECT_TRUE(squall.unloadedUnderLiveChannel.empty());
  EXPECT_EQ(music.Find("game")->sample, 0u) << "the other stream faded out and unloaded";
  EXPECT_NE(music.Find("menu")->sample, 0u);
}

TEST_F(QCMusicManagerTest, WithoutSoundTheNameIsStillRecorded) {
  ResetSoundState();
  squall.devices = 0;
  StartSoundSystem(0);
  squall.Clear();
  music.Play("game");
  music.Pause();
  SetMusicVolume(10);
  EXPECT_EQ(music.Current(), "game");
  EXPECT_TRUE(squall.calls.empty());
}

TEST_F(QCMusicManagerTest, AFaultyTableKeepsTheStreamsBeforeTheFault) {
  QCMusicManager other;
  bool ok = true;
  WithCfgRoot(pak, R"(<root><music><stream name="a" path="a.ogg"/><stream name="b"/>
                      <stream name="c" path="c.ogg"/></music></root>)",
              [&](IXMLDOMNode* root) { ok = other.LoadMusicTable(root); });
  EXPECT_FALSE(ok);
  EXPECT_NE(other.Find("a"), nullptr);
  EXPECT_EQ(other.Find("c"), nullptr);

  QCMusicManager twice;
  WithCfgRoot(pak, R"(<root><music><stream name="a" path="1.ogg"/><stream name="a" path="2.ogg"/>
                      <stream name="c" path="c.ogg"/></music></root>)",
              [&](IXMLDOMNode* root) { ok = twice.LoadMusicTable(root); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(twice.Find("a")->path, "1.ogg");
  EXPECT_EQ(twice.Find("c"), nullptr);

  QCMusicManager none;
  WithCfgRoot(pak, "<root/>", [&](IXMLDOMNode* root) { ok = none.LoadMusicTable(root); });
  EXPECT_TRUE(ok);
}

}  // namespace
