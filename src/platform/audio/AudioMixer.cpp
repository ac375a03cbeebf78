#include "platform/audio/AudioMixer.h"

#include "platform/crash/FatalSignals.h"

#include <algorithm>
#include <cmath>

namespace Velk {

namespace {

constexpr size_t kChunkFrames = 512;

int32_t ToFixedGain(float gain) {
  if (!(gain > 0.0f)) return 0;  // also NaN
  return static_cast<int32_t>(std::lround(std::min(gain, 1.0f) * 65536.0f));
}

uint64_t StepFor(uint32_t rate) { return (static_cast<uint64_t>(rate) << 32) / AudioMixer::kOutputRate; }

int32_t SampleAt(const AudioPcm& pcm, size_t frame, int channel) {
  const size_t at = frame * pcm.BlockAlign() + channel * (pcm.bits / 8);
  if (pcm.bits == 8) return (static_cast<int32_t>(pcm.bytes[at]) - 128) * 256;
  return static_cast<int16_t>(pcm.bytes[at] | (pcm.bytes[at + 1] << 8));
}

// Linear interpolation between two frames with a 16-bit weight.
int32_t Interpolate(int32_t a, int32_t b, uint32_t weight) {
  return a + static_cast<int32_t>((static_cast<int64_t>(b - a) * weight) >> 16);
}

int16_t Clamp16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)); }

}  // namespace

AudioMixer::VoiceId AudioMixer::AddVoice(std::shared_ptr<const AudioPcm> pcm, uint32_t rate) {
  std::lock_guard lock(mutex_);
  const VoiceId id = nextId_++;
  if (nextId_ == 0) nextId_ = 1;
  Voice& voice = voices_[id];
  voice.pcm = std::move(pcm);
  voice.rate = rate;
  voice.step = StepFor(rate);
  return id;
}

void AudioMixer::RemoveVoice(VoiceId id) {
  std::lock_guard lock(mutex_);
  voices_.erase(id);
}

AudioMixer::Voice* AudioMixer::Find(VoiceId id) {
  auto it = voices_.find(id);
  return it == voices_.end() ? nullptr : &it->second;
}

const AudioMixer::Voice* AudioMixer::Find(VoiceId id) const {
  auto it = voices_.find(id);
  return it == voices_.end() ? nullptr : &it->second;
}

void AudioMixer::SetGain(VoiceId id, float left, float right) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    voice->gainLeft = ToFixedGain(left);
    voice->gainRight = ToFixedGain(right);
  }
}

void AudioMixer::SetRate(VoiceId id, uint32_t rate) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    voice->rate = rate;
    voice->step = StepFor(rate);
  }
}

uint32_t AudioMixer::GetRate(VoiceId id) const {
  std::lock_guard lock(mutex_);
  const Voice* voice = Find(id);
  return voice ? voice->rate : 0;
}

void AudioMixer::Play(VoiceId id, bool looping) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    voice->playing = voice->pcm && voice->pcm->Frames() > 0;
    voice->looping = looping;
  }
}

void AudioMixer::SetLooping(VoiceId id, bool looping) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) voice->looping = looping;
}

bool AudioMixer::Stop(VoiceId id) {
  std::lock_guard lock(mutex_);
  Voice* voice = Find(id);
  if (!voice) return false;
  const bool was = voice->playing;
  voice->playing = false;
  return was;
}

void AudioMixer::SetLoopRegion(VoiceId id, size_t start, size_t end) {
  std::lock_guard lock(mutex_);
  Voice* voice = Find(id);
  if (!voice || !voice->pcm) return;
  const size_t frames = voice->pcm->Frames();
  end = std::min(end, frames);
  if (start >= end) return;
  voice->loopStart = static_cast<uint64_t>(start) << 32;
  voice->loopEnd = end == frames ? 0 : static_cast<uint64_t>(end) << 32;
}

void AudioMixer::SetPosition(VoiceId id, size_t frame) {
  std::lock_guard lock(mutex_);
  if (Voice* voice = Find(id)) {
    const size_t frames = voice->pcm ? voice->pcm->Frames() : 0;
    voice->position = static_cast<uint64_t>(std::min(frame, frames)) << 32;
  }
}

size_t AudioMixer::GetPosition(VoiceId id) const {
  std::lock_guard lock(mutex_);
  const Voice* voice = Find(id);
  return voice ? static_cast<size_t>(voice->position >> 32) : 0;
}

bool AudioMixer::IsPlaying(VoiceId id) const {
  std::lock_guard lock(mutex_);
  const Voice* voice = Find(id);
  return voice && voice->playing;
}

bool AudioMixer::IsLooping(VoiceId id) const {
  std::lock_guard lock(mutex_);
  const Voice* voice = Find(id);
  return voice && voice->looping;
}

size_t AudioMixer::VoiceCount() const {
  std::lock_guard lock(mutex_);
  return voices_.size();
}

void AudioMixer::SetMasterGain(uint32_t value) {
  std::lock_guard lock(mutex_);
  masterGain_ = std::min(value, kMaxMasterGain);
}

uint32_t AudioMixer::GetMasterGain() const {
  std::lock_guard lock(mutex_);
  return masterGain_;
}

// False when a one-shot voice has run past its last frame; a looping one wraps to its loop start.
bool AudioMixer::WrapOrEnd(Voice& voice, uint64_t end) {
  if (voice.position < end) return true;
  if (voice.looping && end > voice.loopStart) {
    voice.position = voice.loopStart + (voice.position - voice.loopStart) % (end - voice.loopStart);
    return true;
  }
  voice.playing = false;
  voice.position = 0;
  return false;
}

// Where the voice stops or wraps, in frames: the loop's end only while it loops.
uint64_t AudioMixer::PlayedEnd(const Voice& voice, uint64_t count) {
  return voice.looping && voice.loopEnd != 0 ? voice.loopEnd >> 32 : count;
}

void AudioMixer::MixVoice(Voice& voice, int32_t* acc, size_t frames) {
  const AudioPcm& pcm = *voice.pcm;
  const uint64_t count = PlayedEnd(voice, pcm.Frames());
  const uint64_t end = count << 32;
  const size_t wrapTo = static_cast<size_t>(voice.loopStart >> 32);
  for (size_t i = 0; i < frames && WrapOrEnd(voice, end); ++i) {
    const size_t frame = static_cast<size_t>(voice.position >> 32);
    const size_t next = frame + 1 < count ? frame + 1 : (voice.looping ? wrapTo : frame);
    const uint32_t weight = static_cast<uint32_t>(voice.position >> 16) & 0xFFFF;
    const int32_t left = Interpolate(SampleAt(pcm, frame, 0), SampleAt(pcm, next, 0), weight);
    const int32_t right =
        pcm.channels == 2 ? Interpolate(SampleAt(pcm, frame, 1), SampleAt(pcm, next, 1), weight) : left;
    acc[2 * i] += static_cast<int32_t>((static_cast<int64_t>(left) * voice.gainLeft) >> 16);
    acc[2 * i + 1] += static_cast<int32_t>((static_cast<int64_t>(right) * voice.gainRight) >> 16);
    voice.position += voice.step;
  }
  WrapOrEnd(voice, end);  // a voice that just played its last frame ends now, not on the next pass
}

void AudioMixer::Mix(int16_t* out, size_t frames) {
  // After a fault the music stops at once, without waiting on a lock the faulting thread may hold.
  if (FatalSignalCaught()) {
    std::fill_n(out, frames * kOutputChannels, int16_t{0});
    return;
  }
  std::lock_guard lock(mutex_);
  int32_t acc[kChunkFrames * kOutputChannels];
  while (frames > 0) {
    const size_t chunk = std::min(frames, kChunkFrames);
    std::fill_n(acc, chunk * kOutputChannels, 0);
    for (auto& [id, voice] : voices_) {
      if (voice.playing) MixVoice(voice, acc, chunk);
    }
    for (size_t i = 0; i < chunk * kOutputChannels; ++i) {
      out[i] = Clamp16(static_cast<int64_t>(acc[i]) * masterGain_ / kMaxMasterGain);
    }
    out += chunk * kOutputChannels;
    frames -= chunk;
  }
}

}  // namespace Velk
