#include "platform/audio/AudioMixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace Velk {
namespace {

std::shared_ptr<AudioPcm> Pcm16(std::vector<int16_t> samples, int channels = 1) {
  auto pcm = std::make_shared<AudioPcm>();
  pcm->channels = channels;
  pcm->bits = 16;
  for (int16_t s : samples) {
    pcm->bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    pcm->bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return pcm;
}

std::vector<int16_t> Render(AudioMixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2, 12345);
  mixer.Mix(out.data(), frames);
  return out;
}

TEST(AudioMixer, PlaysMonoToBothChannelsOnceThenStopsAndRewinds) {
  AudioMixer mixer;
  const auto id = mixer.AddVoice(Pcm16({100, -200, 300}), 44100);
  EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0})) << "a new voice is stopped";
  mixer.Play(id, false);
  EXPECT_TRUE(mixer.IsPlaying(id));
  EXPECT_EQ(Render(mixer, 5), (std::vector<int16_t>{100, 100, -200, -200, 300, 300, 0, 0, 0, 0}));
  EXPECT_FALSE(mixer.IsPlaying(id));
  EXPECT_EQ(mixer.GetPosition(id), 0u);
}

TEST(AudioMixer, KeepsStereoChannelsApartAndReadsUnsigned8Bit) {
  AudioMixer mixer;
  auto pcm8 = std::make_shared<AudioPcm>();
  pcm8->channels = 1;
  pcm8->bits = 8;
  pcm8->bytes = {0x80, 0xFF, 0x00};
  const auto a = mixer.AddVoice(pcm8, 44100);
  mixer.Play(a, false);
  EXPECT_EQ(Render(mixer, 3), (std::vector<int16_t>{0, 0, 32512, 32512, -32768, -32768}));

  const auto b = mixer.AddVoice(Pcm16({1000, -1000, 2000, -2000}, 2), 44100);
  mixer.Play(b, false);
  EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{1000, -1000, 2000, -2000}));
}

TEST(AudioMixer, AppliesGainsMasterGainAndClipsTheSum) {
  AudioMixer mixer;
  const auto a = mixer.AddVoice(Pcm16({10000, 10000}), 44100);
  mixer.SetGain(a, 0.5f, 0.25f);
  mixer.Play(a, false);
  EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{5000, 2500}));

  mixer.SetGain(a, 1.0f, 1.0f);
  mixer.SetMasterGain(32767);  // 10000 * 32767 / 65535 = 4999.9
  EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{4999, 4999}));
  mixer.SetMasterGain(70000);
  EXPECT_EQ(mixer.GetMasterGain(), 65535u);

  const auto b = mixer.AddVoice(Pcm16({30000, -30000}), 44100);
  const auto c = mixer.AddVoice(Pcm16({30000, -30000}), 44100);
  mixer.Play(b, false);
  mixer.Play(c, false);
  EXPECT_EQ(Render(mixer, 2), (std::vector<int16_t>{32767, 32767, -32768, -32768}));
}

TEST(AudioMixer, ResamplesByRateWithLinearInterpolation) {
  AudioMixer mixer;
  const auto fast = mixer.AddVoice(Pcm16({0, 1000, 2000, 3000, 4000, 5000}), 88200);
  mixer.Play(fast, false);
  const auto out = Render(mixer, 4);
  EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 2000, 2000, 4000, 4000, 0, 0}));

  const auto slow = mixer.AddVoice(Pcm16({0, 1000, 2000}), 22050);
  mixer.Play(slow, false);
  EXPECT_EQ(Render(mixer, 6), (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2000, 2000}));

  mixer.SetRate(slow, 11025);
  EXPECT_EQ(mixer.GetRate(slow), 11025u);
}

TEST(AudioMixer, LoopsUntilStoppedAndPositionsBySetPosition) {
  AudioMixer mixer;
  const auto id = mixer.AddVoice(Pcm16({1, 2, 3}), 44100);
  mixer.SetPosition(id, 2);
  mixer.Play(id, true);
  EXPECT_TRUE(mixer.IsLooping(id));
  EXPECT_EQ(Render(mixer, 5), (std::vector<int16_t>{3, 3, 1, 1, 2, 2, 3, 3, 1, 1}));
  EXPECT_TRUE(mixer.IsPlaying(id));
  mixer.Stop(id);
  EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{0, 0}));
  EXPECT_EQ(mixer.GetPosition(id), 1u) << "stopping keeps the position";
}

TEST(AudioMixer, ALoopRegionWrapsInsideTheSoundAndLoopingChangesWithoutRestarting) {
  AudioMixer mixer;
  const auto id = mixer.AddVoice(Pcm16({1, 2, 3, 4, 5}), 44100);
  mixer.SetLoopRegion(id, 3, 2);  // empty: ignored
  mixer.SetLoopRegion(id, 1, 3);
  mixer.Play(id, true);
  EXPECT_EQ(Render(mixer, 6), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 2, 2, 3, 3, 2, 2}));
  mixer.SetLooping(id, false);
  EXPECT_TRUE(mixer.IsPlaying(id));
  EXPECT_EQ(Render(mixer, 4), (std::vector<int16_t>{3, 3, 4, 4, 5, 5, 0, 0})) << "on to the end, then over";
  mixer.SetLooping(id, true);
  EXPECT_FALSE(mixer.IsPlaying(id)) << "looping again does not restart an ended voice";
}

TEST(AudioMixer, RemovedAndUnknownVoicesAreIgnored) {
  AudioMixer mixer;
  const auto id = mixer.AddVoice(Pcm16({1000}), 44100);
  mixer.Play(id, true);
  mixer.RemoveVoice(id);
  EXPECT_EQ(mixer.VoiceCount(), 0u);
  mixer.Play(id, true);
  mixer.SetGain(id, 1, 1);
  EXPECT_FALSE(mixer.IsPlaying(id));
  EXPECT_EQ(Render(mixer, 1), (std::vector<int16_t>{0, 0}));

  const auto empty = mixer.AddVoice(std::make_shared<AudioPcm>(), 44100);
  mixer.Play(empty, true);
  EXPECT_FALSE(mixer.IsPlaying(empty)) << "nothing to play";
}

TEST(AudioMixer, MixesOnAnotherThreadWhileVoicesChange) {
  AudioMixer mixer;
  std::atomic<bool> done{false};
  std::thread device([&] {
    std::vector<int16_t> out(2 * 256);
    // A device asks for a block now and then; without a pause this loop could starve the changes.
    while (!done) {
      mixer.Mix(out.data(), 256);
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  });
  for (int i = 0; i < 500; ++i) {
    const auto id = mixer.AddVoice(Pcm16(std::vector<int16_t>(64, 100)), 22050 + i);
    mixer.SetGain(id, 0.5f, 0.5f);
    mixer.Play(id, i % 2 == 0);
    if (i % 3 == 0) mixer.RemoveVoice(id);
  }
  done = true;
  device.join();
  EXPECT_EQ(mixer.VoiceCount(), 500u - 167u);
}

}  // namespace
}  // namespace Velk
