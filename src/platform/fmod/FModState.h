#pragma once
// What the FMOD stand-in holds: its samples, streams, channels and module songs, behind one lock.
// Handles given out are checked against the live ones, so a freed or foreign handle is refused.

#include "platform/audio/AudioMixer.h"
#include "platform/fmod/FMod.h"
#include "platform/fmod/ModuleSong.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

struct FSOUND_SAMPLE {
  std::shared_ptr<Velk::AudioPcm> pcm;
  unsigned int mode = FSOUND_LOOP_OFF;
  int frequency = 44100;
  int volume = 255;
  int pan = 128;
  int priority = 255;
  size_t loopStart = 0;
  size_t loopEnd = 0;  // exclusive
};

struct FSOUND_STREAM {
  FSOUND_SAMPLE sample;
};

// A song has a mixer voice from PlaySong until it is stopped.
struct FMUSIC_MODULE {
  std::unique_ptr<Velk::ModuleSong> song;
  Velk::AudioMixer::VoiceId voice = 0;
  int volume = 256;
  bool looping = true;
  bool paused = false;
};

namespace Velk {

class FModState {
 public:
  static constexpr int kChannels = 4096;

  static FModState& Get();
  // A module's volume 0-256 as a mixer gain.
  static float ModuleGain(int volume) { return static_cast<float>(volume) / 256.0f; }
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

  // Everything below expects the lock held.
  void HoldOutput();
  void ReleaseOutput();

  FSOUND_SAMPLE* AddSample(std::unique_ptr<FSOUND_SAMPLE> sample);
  bool IsLive(const FSOUND_SAMPLE* sample) const { return samples_.count(sample) != 0; }
  void FreeSample(FSOUND_SAMPLE* sample);
  FSOUND_STREAM* AddStream(std::unique_ptr<FSOUND_STREAM> stream);
  bool IsLive(const FSOUND_STREAM* stream) const { return streams_.count(stream) != 0; }
  bool FreeStream(FSOUND_STREAM* stream);
  FMUSIC_MODULE* AddModule(std::unique_ptr<FMUSIC_MODULE> module);
  bool IsLive(const FMUSIC_MODULE* module) const { return modules_.count(module) != 0; }
  void StartModule(FMUSIC_MODULE& module);
  void StopModule(FMUSIC_MODULE& module);

  // Answers the channel, or -1 when none is free or the number is out of range.
  int Play(int channel, const FSOUND_SAMPLE& sample);
  bool Stop(int channel);
  bool SetVolume(int channel, int volume);
  bool SetPaused(int channel, bool paused);
  bool SetLooping(int channel, bool looping);
  bool IsPlaying(int channel) const;
  void StopEverything();

 private:
  struct Channel {
    AudioMixer::VoiceId voice = 0;
    const FSOUND_SAMPLE* source = nullptr;
    bool paused = false;
    bool looping = false;
  };

  int FreeChannel() const;
  void StopPlayersOf(const FSOUND_SAMPLE* sample);
  Channel* Find(int channel);

  std::mutex mutex_;
  bool outputHeld_ = false;
  std::map<const FSOUND_SAMPLE*, std::unique_ptr<FSOUND_SAMPLE>> samples_;
  std::map<const FSOUND_STREAM*, std::unique_ptr<FSOUND_STREAM>> streams_;
  std::map<const FMUSIC_MODULE*, std::unique_ptr<FMUSIC_MODULE>> modules_;
  std::map<int, Channel> channels_;
};

}  // namespace Velk
