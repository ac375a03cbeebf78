#include "platform/fmod/FModState.h"

#include "platform/audio/AudioOutput.h"

#include <algorithm>

namespace Velk {

namespace {

AudioMixer& Mixer() { return AudioOutput::Mixer(); }

float Gain(int volume) { return std::clamp(volume, 0, 255) / 255.0f; }

}  // namespace

FModState& FModState::Get() {
  // Never destroyed: the audio thread may still mix its voices while static destructors run.
  static FModState* state = new FModState;
  return *state;
}

void FModState::HoldOutput() {
  if (!outputHeld_) outputHeld_ = AudioOutput::Acquire();
}

void FModState::ReleaseOutput() {
  if (outputHeld_) AudioOutput::Release();
  outputHeld_ = false;
}

FSOUND_SAMPLE* FModState::AddSample(std::unique_ptr<FSOUND_SAMPLE> sample) {
  FSOUND_SAMPLE* handle = sample.get();
  samples_[handle] = std::move(sample);
  return handle;
}

void FModState::FreeSample(FSOUND_SAMPLE* sample) {
  StopPlayersOf(sample);
  samples_.erase(sample);
}

FSOUND_STREAM* FModState::AddStream(std::unique_ptr<FSOUND_STREAM> stream) {
  FSOUND_STREAM* handle = stream.get();
  streams_[handle] = std::move(stream);
  return handle;
}

bool FModState::FreeStream(FSOUND_STREAM* stream) {
  auto it = streams_.find(stream);
  if (it == streams_.end()) return false;
  StopPlayersOf(&stream->sample);
  streams_.erase(it);
  return true;
}

FMUSIC_MODULE* FModState::AddModule(std::unique_ptr<FMUSIC_MODULE> module) {
  FMUSIC_MODULE* handle = module.get();
  modules_[handle] = std::move(module);
  return handle;
}

void FModState::StartModule(FMUSIC_MODULE& module) {
  StopModule(module);
  HoldOutput();
  module.voice = Mixer().AddVoice(module.song->Pcm(), ModuleSong::kRate);
  Mixer().SetGain(module.voice, ModuleGain(module.volume), ModuleGain(module.volume));
  Mixer().Play(module.voice, module.looping);
}

void FModState::StopModule(FMUSIC_MODULE& module) {
  if (module.voice) Mixer().RemoveVoice(module.voice);
  module.voice = 0;
  module.paused = false;
}

int FModState::FreeChannel() const {
  for (int channel = 0; channel < kChannels; ++channel) {
    if (!IsPlaying(channel)) return channel;
  }
  return -1;
}

int FModState::Play(int channel, const FSOUND_SAMPLE& sample) {
  if (channel == FSOUND_FREE) channel = FreeChannel();
  if (channel < 0 || channel >= kChannels) return -1;
  Stop(channel);
  HoldOutput();
  Channel& playing = channels_[channel];
  playing.source = &sample;
  playing.looping = (sample.mode & FSOUND_LOOP_NORMAL) != 0;
  playing.voice = Mixer().AddVoice(sample.pcm, static_cast<uint32_t>(sample.frequency));
  Mixer().SetLoopRegion(playing.voice, sample.loopStart, sample.loopEnd);
  Mixer().SetGain(playing.voice, Gain(sample.volume), Gain(sample.volume));
  Mixer().Play(playing.voice, playing.looping);
  return channel;
}

FModState::Channel* FModState::Find(int channel) {
  auto it = channels_.find(channel);
  return it == channels_.end() ? nullptr : &it->second;
}

bool FModState::Stop(int channel) {
  auto it = channels_.find(channel);
  if (it == channels_.end()) return false;
  Mixer().RemoveVoice(it->second.voice);
  channels_.erase(it);
  return true;
}

bool FModState::SetVolume(int channel, int volume) {
  Channel* playing = Find(channel);
  if (playing) Mixer().SetGain(playing->voice, Gain(volume), Gain(volume));
  return playing != nullptr;
}

// A paused voice keeps its place; resuming one that had already ended does not restart it.
bool FModState::SetPaused(int channel, bool paused) {
  Channel* playing = Find(channel);
  if (!playing || paused == playing->paused) return playing != nullptr;
  if (paused) {
    if (!Mixer().Stop(playing->voice)) return false;
  } else {
    Mixer().Play(playing->voice, playing->looping);
  }
  playing->paused = paused;
  return true;
}

bool FModState::SetLooping(int channel, bool looping) {
  Channel* playing = Find(channel);
  if (!playing) return false;
  playing->looping = looping;
  Mixer().SetLooping(playing->voice, looping);
  return true;
}

bool FModState::IsPlaying(int channel) const {
  auto it = channels_.find(channel);
  return it != channels_.end() && (it->second.paused || Mixer().IsPlaying(it->second.voice));
}

void FModState::StopPlayersOf(const FSOUND_SAMPLE* sample) {
  for (auto it = channels_.begin(); it != channels_.end();) {
    if (it->second.source == sample) {
      Mixer().RemoveVoice(it->second.voice);
      it = channels_.erase(it);
    } else {
      ++it;
    }
  }
}

void FModState::StopEverything() {
  for (auto& [channel, playing] : channels_) Mixer().RemoveVoice(playing.voice);
  channels_.clear();
  for (auto& [handle, module] : modules_) StopModule(*module);
}

}  // namespace Velk
