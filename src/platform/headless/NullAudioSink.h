#pragma once
// The output of a machine without an audio device: a thread mixes at the pace of the clock and
// drops the result, so that sounds still start, run their length and end, silently.

#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioSink.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace Velk {

class NullAudioSink : public AudioSink {
 public:
  explicit NullAudioSink(AudioMixer& mixer);
  ~NullAudioSink() override;
  bool IsAudible() const override { return false; }

 private:
  void Run();

  AudioMixer& mixer_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  // Held here rather than on the thread's stack: a process that ends without closing the sink
  // still reaches it.
  std::vector<int16_t> scratch_;
  std::thread thread_;
};

}  // namespace Velk
