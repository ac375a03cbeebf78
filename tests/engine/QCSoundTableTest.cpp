#include "engine/QCSoundTable.h"

#include "engine/QCSoundSystem.h"
#include "engine/SquallRecorder.h"
#include "engine/SoundTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char* kCfg = R"(<root><sounds>
  <sound name="click" group="ui" path="snd\click.wav"/>
  <sound name="steps" group="game" path="snd\steps.wav" loop="true"/>
  <sound name="goal" group="ui" path="snd\goal.wav"/>
  <sound name="steps" group="game" path="snd\steps2.wav" loop="1"/>
  <sound name="broken" group="game" path="snd\missing.wav"/>
</sounds></root>)";

class QCSoundTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSoundState();
    squall.loadResults["snd\\missing.wav"] = SQUALL_ERROR_FILE;
  }
  void TearDown() override { ResetSoundState(); }

  void Start() {
    StartSoundSystem(0);
    WithCfgRoot(pak, kCfg, [](IXMLDOMNode* root) { LoadSoundTable(root); });
  }
  static int Sample(const char* name) { return static_cast<int>(FindSoundEntry(name)->sample); }
  static int Group(const char* name) { return FindSoundEntry(name)->group; }

  MemoryPak pak;
  SquallRecorder squall;
};

TEST_F(QCSoundTableTest, StartingCountsAndOnlyTheLastStopShutsDown) {
  {
    QCSoundSystem guard;
    StartSoundSystem(0);
    EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"GetNumDevice", {}},
                                                     {"Init", {0, 0, 44100, 16, 32, 1, 1, 0, 500, 0}},
                                                     {"SetSpeakerMode", {3}},
                                                     {"SetFileCallbacks", {}},
                                                     {"SetMemoryCallbacks", {}}}));
    squall.Clear();
    StartSoundSystem(0);
    StopSoundSystem();
    EXPECT_TRUE(squall.calls.empty());
    EXPECT_TRUE(IsSoundPresent());
  }
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"Stop", {}}, {"Free", {}}})) << "the guard's end is the last stop";
  EXPECT_FALSE(IsSoundPresent());
}

TEST_F(QCSoundTableTest, WithoutSoundNothingReachesTheLibrary) {
  for (bool noDevice : {true, false}) {
    ResetSoundState();
    squall.devices = noDevice ? 0 : 1;
    squall.initResult = noDevice ? 0 : -1;
    Start();
    squall.Clear();
    EXPECT_FALSE(IsSoundPresent());
    EXPECT_EQ(Sample("click"), 0) << "the table is built all the same";
    PlaySoundByName("click");
    PauseSoundGroup("ui");
    ResumeSoundGroup("ui");
    StopSoundGroup("ui");
    PauseAllSound(true);
    SetSoundVolume(30);
    EXPECT_EQ(CreateSoundChannel("click"), nullptr);
    StopSoundSystem();
    ClearSoundTable();
    EXPECT_TRUE(squall.calls.empty());
    EXPECT_EQ(SoundState().soundVolume, 30) << "the volume is kept for later";
  }
}

TEST_F(QCSoundTableTest, TheTableNumbersGroupsAndTheLaterOfTwoNamesWins) {
  Start();
  EXPECT_EQ(Group("goal"), Group("click"));
  EXPECT_EQ(Group("steps"), Group("click") + 1);
  const auto loads = squall.Named("Sample_LoadFile");
  ASSERT_EQ(loads.size(), 5u);
  EXPECT_EQ(loads[0].args, (std::vector<int>{0, Group("click"), 0, 0, 100, 50}));
  EXPECT_TRUE(FindSoundEntry("steps")->loop);
  EXPECT_EQ(FindSoundEntry("steps")->path, "snd\\steps2.wav");
  EXPECT_EQ(Sample("steps"), 4);
  squall.Clear();
  PlaySoundByName("steps");
  EXPECT_EQ(squall.Named("Sample_PlayEx"),
            (std::vector<SquallCall>{{"Sample_PlayEx", {4, 0, Group("steps"), 1, 0, 100, 44100, 50}}}))
      << "the second of the name, once whatever its loop flag";
}

// A sample that did not load keeps the id 0 and is never handed to the library.
TEST_F(QCSoundTableTest, ASoundThatDidNotLoadStaysSilent) {
  Start();
  EXPECT_EQ(Sample("broken"), 0);
  squall.Clear();
  PlaySoundByName("broken");
  PlaySoundByName("nothing");
  PlaySoundByName("");
  EXPECT_TRUE(squall.Named("Sample_PlayEx").empty());
  ClearSoundTable();
  for (const auto& call : squall.calls) EXPECT_GT(call.args[0], 0) << call.name;
  EXPECT_EQ(squall.Named("Sample_Unload").size(), 3u);
  EXPECT_EQ(FindSoundEntry("click"), nullptr);
}

TEST_F(QCSoundTableTest, GroupPausesCountAndTheFocusPauseDoesNot) {
  Start();
  squall.Clear();
  PauseSoundGroup("ui");
  PauseSoundGroup("ui");
  ResumeSoundGroup("ui");
  EXPECT_EQ(squall.calls,
            (std::vector<SquallCall>{{"Sample_Pause", {Sample("click"), 1}}, {"Sample_Pause", {Sample("goal"), 1}}}));
  squall.Clear();
  ResumeSoundGroup("ui");
  EXPECT_EQ(squall.calls,
            (std::vector<SquallCall>{{"Sample_Pause", {Sample("click"), 0}}, {"Sample_Pause", {Sample("goal"), 0}}}));
  squall.Clear();
  PauseSoundGroup("nowhere");
  StopSoundGroup("game");
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"Sample_Stop", {Sample("steps")}}}));

  // The counted pause of every entry, and the focus pause, one letter apart.
  squall.Clear();
  PauseAllSounds();
  PauseAllSound(true);
  PauseAllSound(false);
  ResumeAllSounds();
  EXPECT_EQ(squall.Named("Sample_Pause").size(), 6u);
  EXPECT_EQ(squall.Named("Pause"), (std::vector<SquallCall>{{"Pause", {1}}, {"Pause", {0}}}));
}

TEST_F(QCSoundTableTest, AChannelPlaysItsEntryOnceAndThenStartsIt) {
  Start();
  EXPECT_EQ(CreateSoundChannel("nothing"), nullptr);
  std::unique_ptr<QCSoundChannel> channel(CreateSoundChannel("steps"));
  ASSERT_NE(channel, nullptr);
  SetSoundVolume(70);
  squall.Clear();
  SoundChannelPlay(channel.get());
  const int id = channel->channel;
  EXPECT_EQ(squall.Named("Sample_PlayEx"),
            (std::vector<SquallCall>{{"Sample_PlayEx", {Sample("steps"), 1, Group("steps"), 1, 0, 70, 44100, 50}}}))
      << "a channel keeps the entry's loop flag";
  squall.Clear();
  SoundChannelPlay(channel.get());
  EXPECT_EQ(squall.calls, (std::vector<SquallCall>{{"Channel_Status", {id}}, {"Channel_Start", {id}}}));
  SoundChannelStop(channel.get());
  SoundChannelPlay(channel.get());
  EXPECT_GT(channel->channel, id) << "played anew once stopped";
}

// Resuming a channel that was never paused leaves its count at -1: the next pause only brings it
// back to 0, and the resume after that does not un-pause.
TEST_F(QCSoundTableTest, ChannelPausesCountDownBelowZero) {
  Start();
  std::unique_ptr<QCSoundChannel> channel(CreateSoundChannel("click"));
  SoundChannelPlay(channel.get());
  squall.Clear();
  SoundChannelPause(channel.get());
  SoundChannelResume(channel.get());
  EXPECT_EQ(squall.Named("Channel_Pause").size(), 2u);
  squall.Clear();
  SoundChannelResume(channel.get());
  EXPECT_EQ(channel->pauseCount, -1);
  SoundChannelPause(channel.get());
  SoundChannelResume(channel.get());
  EXPECT_TRUE(squall.Named("Channel_Pause").empty());
}

TEST_F(QCSoundTableTest, TheSoundVolumeReachesEveryGroupAndLaterSounds) {
  Start();
  squall.Clear();
  SetSoundVolume(25);
  EXPECT_EQ(squall.Named("ChannelGroup_SetVolume"),
            (std::vector<SquallCall>{{"ChannelGroup_SetVolume", {Group("steps"), 25}},
                                     {"ChannelGroup_SetVolume", {Group("click"), 25}}}))
      << "in group-name order: game before ui";
  PlaySoundByName("click");
  EXPECT_EQ(squall.Named("Sample_PlayEx").at(0).args[5], 25);
}

}  // namespace
