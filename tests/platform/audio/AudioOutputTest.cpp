#include "platform/audio/AudioOutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace Velk {
namespace {

// Headless, the null sink still runs sounds to their end, at the pace of the clock.
TEST(AudioOutput, NullSinkPlaysSoundsOutSilently) {
  AudioOutput::SetManualMixing(false);
  ASSERT_TRUE(AudioOutput::Acquire());
  EXPECT_FALSE(AudioOutput::IsAudible());
  auto pcm = std::make_shared<AudioPcm>();
  pcm->bytes.assign(2 * 441, 0x10);  // 10 ms at 44100 Hz
  AudioMixer& mixer = AudioOutput::Mixer();
  const auto id = mixer.AddVoice(pcm, 44100);
  mixer.Play(id, false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (mixer.IsPlaying(id) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(mixer.IsPlaying(id));
  mixer.RemoveVoice(id);
  AudioOutput::Release();
}

TEST(AudioOutput, OpeningCanBeMadeToFail) {
  AudioOutput::SetFailOpen(true);
  EXPECT_FALSE(AudioOutput::Acquire());
  AudioOutput::SetFailOpen(false);
  ASSERT_TRUE(AudioOutput::Acquire());
  AudioOutput::Release();
}

int ThreadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// A process that ends without giving its references back ends the sink's thread first.
TEST(AudioOutput, ClosingForExitEndsTheSinksThread) {
  AudioOutput::SetManualMixing(false);
  // A sanitizer's runtime starts a helper thread of its own with the first thread it sees.
  std::thread([] {}).join();
  const int before = ThreadCount();
  ASSERT_TRUE(AudioOutput::Acquire());
  ASSERT_TRUE(AudioOutput::Acquire());
  EXPECT_EQ(ThreadCount(), before + 1);
  AudioOutput::CloseForExit();
  EXPECT_EQ(ThreadCount(), before);
  AudioOutput::Release();
  AudioOutput::Release();
  ASSERT_TRUE(AudioOutput::Acquire());
  EXPECT_EQ(ThreadCount(), before + 1) << "the next first user opens it again";
  AudioOutput::Release();
  EXPECT_EQ(ThreadCount(), before);
}

}  // namespace
}  // namespace Velk
