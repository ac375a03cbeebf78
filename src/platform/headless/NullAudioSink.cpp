#include "platform/headless/NullAudioSink.h"

#include "platform/clock/Clock.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace Velk {

namespace {

constexpr auto kPeriod = std::chrono::milliseconds(10);
constexpr uint64_t kMaxFramesPerPass = AudioMixer::kOutputRate / 5;

}  // namespace

NullAudioSink::NullAudioSink(AudioMixer& mixer)
    : mixer_(mixer), scratch_(kMaxFramesPerPass * AudioMixer::kOutputChannels), thread_([this] { Run(); }) {}

NullAudioSink::~NullAudioSink() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void NullAudioSink::Run() {
  uint64_t last = Clock::Nanoseconds();
  uint64_t carry = 0;  // nanoseconds times the output rate not yet turned into whole frames
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kPeriod, [this] { return stopping_; })) {
    // A test may switch clocks, so time can jump either way; a jump counts as at most a second.
    const uint64_t now = Clock::Nanoseconds();
    if (now > last) carry += std::min<uint64_t>(now - last, 1000000000u) * AudioMixer::kOutputRate;
    last = now;
    const uint64_t frames = std::min<uint64_t>(carry / 1000000000u, kMaxFramesPerPass);
    carry -= frames * 1000000000u;
    carry = std::min<uint64_t>(carry, 1000000000u);  // a backlog beyond one pass is dropped
    mixer_.Mix(scratch_.data(), frames);
  }
}

}  // namespace Velk
