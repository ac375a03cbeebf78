#pragma once
// The mixer's output on the default SDL audio device at 44100 Hz, 16-bit stereo; SDL converts when
// the device wants another format.

#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioSink.h"

#include <cstdint>
#include <memory>

namespace Velk {

class SdlAudioSink : public AudioSink {
 public:
  // Null when SDL has no audio device to offer.
  static std::unique_ptr<SdlAudioSink> Open(AudioMixer& mixer);
  ~SdlAudioSink() override;
  bool IsAudible() const override { return true; }

 private:
  SdlAudioSink(AudioMixer& mixer) : mixer_(mixer) {}
  static void Callback(void* self, uint8_t* stream, int len);

  AudioMixer& mixer_;
  uint32_t device_ = 0;
};

}  // namespace Velk
