#include "platform/audio/NullAudioSink.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace Velk {

namespace {

constexpr auto kPeriod = std::chrono::milliseconds(10);
constexpr uint64_t kMaxFramesPerPass = AudioMixer::kOutputRate / 5;

uint64_t NowNanoseconds() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace

NullAudioSink::NullAudioSink(AudioMixer& mixer) : mixer_(mixer), thread_([this] { Run(); }) {}

NullAudioSink::~NullAudioSink() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void NullAudioSink::Run() {
  std::vector<int16_t> scratch(kMaxFramesPerPass * AudioMixer::kOutputChannels);
  uint64_t last = NowNanoseconds();
  uint64_t carry = 0;  // nanoseconds times the output rate not yet turned into whole frames
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kPeriod, [this] { return stopping_; })) {
    const uint64_t now = NowNanoseconds();
    carry += (now - last) * AudioMixer::kOutputRate;
    last = now;
    const uint64_t frames = std::min<uint64_t>(carry / 1000000000u, kMaxFramesPerPass);
    carry -= frames * 1000000000u;
    carry = std::min<uint64_t>(carry, 1000000000u);
    mixer_.Mix(scratch.data(), frames);
  }
}

}  // namespace Velk
