#include "platform/squall/Squall.h"

#include "platform/audio/AudioOutput.h"
#include "platform/clock/Clock.h"
#include "platform/squall/SquallMemoryFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace Velk {
namespace {

namespace mf = SquallMemoryFiles;

constexpr int16_t kLevel = 10000;

// Mixes `frames` output frames and answers the left channel.
std::vector<int> MixLeft(size_t frames) {
  std::vector<int16_t> out(2 * frames);
  AudioOutput::Mixer().Mix(out.data(), frames);
  std::vector<int> left(frames);
  for (size_t i = 0; i < frames; ++i) left[i] = out[2 * i];
  return left;
}

int MixOne() { return MixLeft(1)[0]; }

class SquallStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioOutput::SetManualMixing(true);
    Clock::UseManual(5000);
    SQUALL_Settings settings{0, 0, 44100, 16, 32, 1, 1, 0, 500, 0, 0.0f, 0.0f, 0.0f};
    ASSERT_EQ(SQUALL_GetNumDevice(), 1);
    ASSERT_GE(SQUALL_Init(&settings), 0);
    mf::Install();
    mf::Put("flat.wav", mf::Wave(mf::Samples16(std::vector<int16_t>(1000, kLevel))));
  }

  void TearDown() override {
    SQUALL_Free();
    EXPECT_EQ(mf::OpenCount(), 0u);
    EXPECT_EQ(AudioOutput::Mixer().VoiceCount(), 0u);
    Clock::UseReal();
    AudioOutput::SetManualMixing(false);
  }

  static int Load(const char* name) { return SQUALL_Sample_LoadFile(name, 0, nullptr); }
  static int Play(int sample, bool loop = true, int group = 1, int volume = 100, int pan = 50) {
    return SQUALL_Sample_PlayEx(sample, loop ? 1 : 0, group, 1, 0, volume, 44100, pan);
  }
};

TEST_F(SquallStandIn, IdsAreNeverGivenOutTwice) {
  const int sample = Load("flat.wav");
  ASSERT_GT(sample, 0);
  const int first = Play(sample);
  ASSERT_GT(first, 0);
  ASSERT_EQ(SQUALL_Channel_Stop(first), 0);
  const int second = Play(sample);
  EXPECT_GT(second, first);
  EXPECT_EQ(SQUALL_Channel_Status(first), 0);
  EXPECT_LT(SQUALL_Channel_Pause(first, 1), 0);
  EXPECT_LT(SQUALL_Channel_SetVolume(first, 0), 0);
  EXPECT_EQ(MixOne(), kLevel) << "the stale id reached the live channel";

  ASSERT_EQ(SQUALL_Sample_Stop(sample), 0);
  ASSERT_EQ(SQUALL_Sample_Unload(sample), 0);
  EXPECT_GT(Load("flat.wav"), sample);
  for (int bad : {0, -1, -3, sample}) {
    EXPECT_LT(SQUALL_Sample_PlayEx(bad, 0, 1, 1, 0, 100, 44100, 50), 0) << bad;
    EXPECT_LT(SQUALL_Sample_Pause(bad, 1), 0) << bad;
    EXPECT_LT(SQUALL_Sample_Unload(bad), 0) << bad;
    EXPECT_EQ(SQUALL_Channel_Status(bad), 0) << bad;
  }
}

TEST_F(SquallStandIn, TheThreePausesAreIndependentInEveryOrder) {
  const int sample = Load("flat.wav");
  const int channel = Play(sample);
  ASSERT_GT(channel, 0);
  const std::array<std::function<void(int)>, 3> flags = {
      [](int on) { SQUALL_Pause(on); },
      [&](int on) { SQUALL_Sample_Pause(sample, on); },
      [&](int on) { SQUALL_Channel_Pause(channel, on); },
  };
  std::array<int, 3> setOrder = {0, 1, 2};
  do {
    std::array<int, 3> clearOrder = {0, 1, 2};
    do {
      for (int i : setOrder) {
        flags[i](1);
        EXPECT_EQ(MixOne(), 0);
      }
      for (int n = 0; n < 3; ++n) {
        flags[clearOrder[n]](0);
        EXPECT_EQ(MixOne(), n == 2 ? kLevel : 0);
      }
    } while (std::next_permutation(clearOrder.begin(), clearOrder.end()));
  } while (std::next_permutation(setOrder.begin(), setOrder.end()));
  EXPECT_NE(SQUALL_Channel_Status(channel), 0);
}

TEST_F(SquallStandIn, SamplePauseReachesOnlyTheChannelsItFinds) {
  const int sample = Load("flat.wav");
  const int before = Play(sample);
  SQUALL_Sample_Pause(sample, 1);
  const int after = Play(sample);
  EXPECT_EQ(MixOne(), kLevel);
  SQUALL_Channel_Stop(after);
  EXPECT_EQ(MixOne(), 0);
  SQUALL_Sample_Pause(sample, 0);
  EXPECT_EQ(MixOne(), kLevel);
  EXPECT_NE(SQUALL_Channel_Status(before), 0);
}

TEST_F(SquallStandIn, StartNeverRestartsAndClearsOnlyTheChannelPause) {
  std::vector<int16_t> ramp(1000);
  for (int i = 0; i < 1000; ++i) ramp[i] = static_cast<int16_t>(i);
  mf::Put("ramp.wav", mf::Wave(mf::Samples16(ramp)));
  const int channel = Play(Load("ramp.wav"));
  MixLeft(10);
  EXPECT_EQ(SQUALL_Channel_Start(channel), 0);
  EXPECT_EQ(MixOne(), 10);

  SQUALL_Pause(1);
  SQUALL_Channel_Pause(channel, 1);
  SQUALL_Channel_Start(channel);
  EXPECT_EQ(MixOne(), 0) << "the global pause still holds";
  SQUALL_Pause(0);
  EXPECT_EQ(MixOne(), 11);

  const int held = SQUALL_Sample_PlayEx(Load("ramp.wav"), 0, 1, 0, 0, 100, 44100, 50);
  EXPECT_NE(SQUALL_Channel_Status(held), 0) << "made without start: paused, not over";
  SQUALL_Channel_Stop(channel);
  EXPECT_EQ(MixOne(), 0);
  SQUALL_Channel_Start(held);
  EXPECT_EQ(MixOne(), 0) << "starts at its first frame";
  EXPECT_EQ(MixOne(), 1);
}

TEST_F(SquallStandIn, GroupVolumeSetsLiveChannelsOnly) {
  const int sample = Load("flat.wav");
  Play(sample, true, 3);
  const int other = Play(sample, true, 4);
  SQUALL_Channel_Pause(other, 1);
  ASSERT_EQ(SQUALL_ChannelGroup_SetVolume(3, 50), 0);
  EXPECT_EQ(MixOne(), kLevel / 2);
  Play(sample, true, 3, 100);
  EXPECT_EQ(MixOne(), kLevel / 2 + kLevel) << "a later sound keeps its own volume";
  SQUALL_ChannelGroup_SetVolume(3, 0);
  SQUALL_Channel_Pause(other, 0);
  EXPECT_EQ(MixOne(), kLevel) << "the other group kept its volume";
}

TEST_F(SquallStandIn, PanSplitsTheVolumeBetweenTheSides) {
  Play(Load("flat.wav"), true, 1, 100, 0);
  std::vector<int16_t> out(2);
  AudioOutput::Mixer().Mix(out.data(), 1);
  EXPECT_EQ(out[0], kLevel);
  EXPECT_EQ(out[1], 0);
}

TEST_F(SquallStandIn, LoopedChannelsRepeatAndOnceChannelsEnd) {
  std::vector<int16_t> ramp(100);
  for (int i = 0; i < 100; ++i) ramp[i] = static_cast<int16_t>(100 * i + 1);
  mf::Put("ramp.wav", mf::Wave(mf::Samples16(ramp)));
  const int sample = Load("ramp.wav");
  const int looped = Play(sample, true);
  const std::vector<int> out = MixLeft(250);
  for (size_t i = 0; i + 100 < out.size(); ++i) ASSERT_EQ(out[i], out[i + 100]) << i;
  EXPECT_EQ(out[99], 9901);
  SQUALL_Channel_Stop(looped);

  const int once = Play(sample, false);
  const std::vector<int> single = MixLeft(150);
  EXPECT_EQ(single[99], 9901);
  EXPECT_EQ(single[100], 0);
  EXPECT_EQ(SQUALL_Channel_Status(once), 0);
  // An ended channel stays ended through the pauses that would have resumed it.
  SQUALL_Pause(1);
  SQUALL_Pause(0);
  EXPECT_EQ(MixOne(), 0);
}

TEST_F(SquallStandIn, FilesPlayAtTheirOwnPitch) {
  mf::Put("slow.wav", mf::Wave(mf::Samples16(std::vector<int16_t>(2205, kLevel)), 22050));
  const int channel = SQUALL_Sample_PlayEx(Load("slow.wav"), 0, 1, 1, 0, 100, 44100, 50);
  MixLeft(4400);
  EXPECT_NE(SQUALL_Channel_Status(channel), 0) << "0.1 s of sound lasts 4410 output frames";
  MixLeft(20);
  EXPECT_EQ(SQUALL_Channel_Status(channel), 0);
}

TEST_F(SquallStandIn, ThirtyTwoChannelsAtOnce) {
  const int sample = Load("flat.wav");
  std::vector<int> channels;
  for (int i = 0; i < 32; ++i) channels.push_back(Play(sample));
  EXPECT_TRUE(std::all_of(channels.begin(), channels.end(), [](int c) { return c > 0; }));
  EXPECT_EQ(Play(sample), SQUALL_ERROR_NO_CHANNEL);
  SQUALL_Channel_Stop(channels[5]);
  EXPECT_GT(Play(sample), 0);
  SQUALL_Stop();
  EXPECT_EQ(SQUALL_Channel_Status(channels[0]), 0);
  EXPECT_EQ(MixOne(), 0);
}

struct WorkerLog {
  int sample = 0;
  std::vector<uint32_t> calls;
  int unloadResult = 1;
};

int RecordingWorker(int, void* user) {
  static_cast<WorkerLog*>(user)->calls.push_back(timeGetTime());
  return 1;
}

int FinishingWorker(int channel, void* user) {
  auto* log = static_cast<WorkerLog*>(user);
  SQUALL_Channel_SetWorker(channel, nullptr, user, 100);
  SQUALL_Channel_Stop(channel);
  log->unloadResult = SQUALL_Sample_Unload(log->sample);
  return 1;
}

TEST_F(SquallStandIn, WorkersRunFromThePumpAtTheirPeriod) {
  const int channel = Play(Load("flat.wav"));
  WorkerLog log;
  ASSERT_EQ(SQUALL_Channel_SetWorker(channel, &RecordingWorker, &log, 50), 0);
  for (int step = 0; step < 30; ++step) {
    Clock::Advance(10);
    SQUALL_StandIn_Pump(timeGetTime());
  }
  EXPECT_EQ(log.calls, (std::vector<uint32_t>{5050, 5100, 5150, 5200, 5250, 5300}));
  // After a long gap the worker runs once, not once per missed period.
  Clock::Advance(1000);
  EXPECT_EQ(SQUALL_StandIn_Pump(timeGetTime()), 1);
  EXPECT_EQ(SQUALL_StandIn_Pump(timeGetTime()), 0);
  SQUALL_Channel_Stop(channel);
  Clock::Advance(100);
  EXPECT_EQ(SQUALL_StandIn_Pump(timeGetTime()), 0) << "the worker went with its channel";
}

TEST_F(SquallStandIn, AWorkerMayStopItsChannelAndUnloadItsSample) {
  WorkerLog log;
  log.sample = Load("flat.wav");
  const int channel = Play(log.sample);
  EXPECT_EQ(SQUALL_Sample_Unload(log.sample), SQUALL_ERROR_IN_USE) << "never under a live channel";
  SQUALL_Channel_SetWorker(channel, &FinishingWorker, &log, 100);
  Clock::Advance(100);
  EXPECT_EQ(SQUALL_StandIn_Pump(timeGetTime()), 1);
  EXPECT_EQ(log.unloadResult, 0);
  EXPECT_EQ(SQUALL_Channel_Status(channel), 0);
  EXPECT_LT(Play(log.sample), 0);
}

TEST_F(SquallStandIn, BadWaveFilesAreRefused) {
  const mf::Bytes data = mf::Samples16(std::vector<int16_t>(16, 1));
  mf::Put("24bit.wav", mf::Wave(data, 44100, 1, 24));
  mf::Put("3ch.wav", mf::Wave(data, 44100, 3, 16));
  mf::Put("float.wav", mf::Wave(data, 44100, 1, 16, 3));
  mf::Put("norate.wav", mf::Wave(data, 0));
  mf::Bytes longer = mf::Wave(data);
  longer[40] = 0xFF;  // data size past the end of the file
  mf::Put("longer.wav", longer);
  mf::Bytes header = mf::Wave(data);
  header.resize(30);
  mf::Put("header.wav", header);
  mf::Bytes chunk = mf::Wave(data);
  chunk[16] = 0xF0;  // a format chunk far larger than the file
  mf::Put("chunk.wav", chunk);
  mf::Put("text.wav", mf::Bytes{'h', 'e', 'l', 'l', 'o'});
  mf::Put("empty.wav", {});
  for (const char* name : {"24bit.wav", "3ch.wav", "float.wav", "norate.wav", "longer.wav", "header.wav", "chunk.wav",
                           "text.wav", "empty.wav", "missing.wav"}) {
    EXPECT_EQ(Load(name), SQUALL_ERROR_FILE) << name;
  }
  mf::Put("8bit.wav", mf::Wave(mf::Bytes(8, 0x80 + 40), 44100, 1, 8));
  const int eight = Load("8bit.wav");
  ASSERT_GT(eight, 0);
  Play(eight);
  EXPECT_EQ(MixOne(), 40 * 256);
}

mf::Bytes ReadTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return mf::Bytes(std::istreambuf_iterator<char>(in), {});
}

// Mixes until the channel sounds or a generous real-time bound passes; the decode runs elsewhere.
bool SoundsWithin(std::chrono::seconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::vector<int> out = MixLeft(64);
    if (std::any_of(out.begin(), out.end(), [](int v) { return v != 0; })) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST_F(SquallStandIn, OggFilesDecodeInTheBackground) {
  const mf::Bytes ogg = ReadTestFile(TEST_DATA_DIR "/sound/tone.ogg");
  ASSERT_FALSE(ogg.empty());
  mf::Put("tone.ogg", ogg);
  const int sample = Load("tone.ogg");
  ASSERT_GT(sample, 0);
  const int channel = Play(sample, true, -1, 100);
  EXPECT_NE(SQUALL_Channel_Status(channel), 0) << "live while it decodes";
  SQUALL_Channel_SetVolume(channel, 100);
  EXPECT_TRUE(SoundsWithin(std::chrono::seconds(10)));

  mf::Put("broken.ogg", mf::Bytes(ogg.begin(), ogg.begin() + ogg.size() / 2));
  const int broken = Load("broken.ogg");
  ASSERT_GT(broken, 0);
  const int silent = Play(broken);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (SQUALL_Channel_Status(silent) != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(SQUALL_Channel_Status(silent), 0) << "a stream that does not decode ends its channels";
  EXPECT_EQ(Play(broken), SQUALL_ERROR_FILE);
}

TEST_F(SquallStandIn, LoadsOnAnotherThreadWhileTheMainThreadPauses) {
  std::atomic<bool> done{false};
  std::vector<int> ids;
  std::thread loader([&] {
    for (int i = 0; i < 40; ++i) ids.push_back(Load("flat.wav"));
    done = true;
  });
  for (int flag = 1; !done; flag ^= 1) SQUALL_Pause(flag);
  loader.join();
  SQUALL_Pause(0);
  EXPECT_TRUE(std::all_of(ids.begin(), ids.end(), [](int id) { return id > 0; }));
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
  Play(ids.back());
  EXPECT_EQ(MixOne(), kLevel);
}

TEST(SquallStandInWithoutDevice, ReportsNoDeviceAndRefusesToStart) {
  AudioOutput::SetFailOpen(true);
  EXPECT_EQ(SQUALL_GetNumDevice(), 0);
  SQUALL_Settings settings{0, 0, 44100, 16, 32, 1, 1, 0, 500, 0, 0.0f, 0.0f, 0.0f};
  EXPECT_LT(SQUALL_Init(&settings), 0);
  EXPECT_EQ(SQUALL_Sample_LoadFile("flat.wav", 0, nullptr), SQUALL_ERROR_NOT_STARTED);
  EXPECT_EQ(SQUALL_Pause(1), SQUALL_ERROR_NOT_STARTED);
  EXPECT_EQ(SQUALL_StandIn_Pump(0), SQUALL_ERROR_NOT_STARTED);
  AudioOutput::SetFailOpen(false);
}

}  // namespace
}  // namespace Velk
