#pragma once
// The one software mixer of the process. Voices play shared PCM at their own rate with a linear gain
// per output channel; Mix renders them, scaled by the master gain, as 44100 Hz 16-bit stereo.
// Every call may come from any thread: the audio device pulls Mix from its own.

#include "platform/audio/AudioPcm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace Velk {

class AudioMixer {
 public:
  static constexpr int kOutputRate = 44100;
  static constexpr int kOutputChannels = 2;
  static constexpr uint32_t kMaxMasterGain = 65535;

  using VoiceId = uint32_t;

  // A stopped voice at frame 0 with unit gain; 0 is never a valid id.
  VoiceId AddVoice(std::shared_ptr<const AudioPcm> pcm, uint32_t rate);
  void RemoveVoice(VoiceId id);

  void SetGain(VoiceId id, float left, float right);
  void SetRate(VoiceId id, uint32_t rate);
  uint32_t GetRate(VoiceId id) const;
  void Play(VoiceId id, bool looping);
  // Changes the looping of a voice without starting or stopping it.
  void SetLooping(VoiceId id, bool looping);
  // Keeps the position; answers whether the voice was playing (false also once a one-shot ended).
  bool Stop(VoiceId id);
  // A looping voice wraps from `end` (exclusive) back to `start`; by default the whole sound loops.
  void SetLoopRegion(VoiceId id, size_t start, size_t end);
  void SetPosition(VoiceId id, size_t frame);
  size_t GetPosition(VoiceId id) const;
  bool IsPlaying(VoiceId id) const;
  bool IsLooping(VoiceId id) const;
  size_t VoiceCount() const;

  // The wave-out volume: 0 silent .. 65535 unchanged.
  void SetMasterGain(uint32_t value);
  uint32_t GetMasterGain() const;

  // Renders `frames` stereo frames into `out` (2 * frames samples), advancing every playing voice.
  void Mix(int16_t* out, size_t frames);

 private:
  struct Voice {
    std::shared_ptr<const AudioPcm> pcm;
    uint64_t position = 0;  // frames, 32.32 fixed point
    uint64_t step = 0;      // frames per output frame, 32.32 fixed point
    uint32_t rate = 0;
    uint64_t loopStart = 0;    // frames, 32.32 fixed point
    uint64_t loopEnd = 0;      // 0: the sound's end
    int32_t gainLeft = 65536;  // 16.16 fixed point
    int32_t gainRight = 65536;
    bool playing = false;
    bool looping = false;
  };

  Voice* Find(VoiceId id);
  const Voice* Find(VoiceId id) const;
  static bool WrapOrEnd(Voice& voice, uint64_t end);
  static uint64_t PlayedEnd(const Voice& voice, uint64_t count);
  static void MixVoice(Voice& voice, int32_t* acc, size_t frames);

  mutable std::mutex mutex_;
  std::unordered_map<VoiceId, Voice> voices_;
  VoiceId nextId_ = 1;
  uint32_t masterGain_ = kMaxMasterGain;
};

}  // namespace Velk
