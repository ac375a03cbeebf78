#include "sound/DSoundInstance.h"

#include "common/DirectXErrorName.h"
#include "sound/DSoundManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Velk {

namespace {

constexpr double kSemitone = 1.0594630943592953;
constexpr double kMinFrequency = 100;
constexpr double kMaxFrequency = 100000;

}  // namespace

DSoundInstance::DSoundInstance(DSoundManager* manager, IDirectSoundBuffer* source) : manager_(manager) {
  if (source) {
    const HRESULT result = manager_->GetDirectSound()->DuplicateSoundBuffer(source, &buffer_);
    if (FAILED(result)) {
      // The instance stays silent rather than taking the program down.
      std::fprintf(stderr, "Hey: %s\n", DirectXErrorName(static_cast<uint32_t>(result)).c_str());
      buffer_ = nullptr;
    } else {
      buffer_->GetFrequency(&defaultFrequency_);
    }
  }
  ApplyVolume();
}

DSoundInstance::~DSoundInstance() {
  if (buffer_) buffer_->Release();
}

LONG DSoundInstance::VolumeToAttenuation(double volume) {
  const double attenuation = std::trunc((std::log10(9.0 * volume + 1.0) - 1.0) * 2333.0);
  // Also catches the NaN of a negative volume.
  if (!(attenuation >= -2000.0)) return DSBVOLUME_MIN;
  return static_cast<LONG>(std::min(attenuation, 1e6));
}

void DSoundInstance::ApplyVolume() {
  if (buffer_) buffer_->SetVolume(VolumeToAttenuation(volume_ * baseVolume_ * manager_->GetVolume()));
}

void DSoundInstance::ApplyPan() {
  if (buffer_) buffer_->SetPan(static_cast<LONG>(std::clamp<int64_t>(int64_t{pan_} + basePan_, DSBPAN_LEFT, DSBPAN_RIGHT)));
}

void DSoundInstance::Release() {
  Stop();
  released_ = true;
}

void DSoundInstance::SetBaseVolume(double volume) {
  baseVolume_ = volume;
  ApplyVolume();
}

void DSoundInstance::SetBasePan(int pan) {
  basePan_ = pan;
  ApplyPan();
}

void DSoundInstance::AdjustPitch(double semitones) {
  if (!buffer_) return;
  const double frequency = std::pow(kSemitone, semitones) * defaultFrequency_;
  buffer_->SetFrequency(static_cast<DWORD>(std::clamp(frequency, kMinFrequency, kMaxFrequency)));
}

void DSoundInstance::SetVolume(double volume) {
  volume_ = volume;
  ApplyVolume();
}

void DSoundInstance::SetPan(int pan) {
  pan_ = pan;
  ApplyPan();
}

bool DSoundInstance::Play(bool looping, bool autoRelease) {
  Stop();
  hasPlayed_ = true;
  autoRelease_ = autoRelease;
  if (!buffer_) return false;
  return SUCCEEDED(buffer_->Play(0, 0, looping ? DSBPLAY_LOOPING : 0));
}

void DSoundInstance::Halt() {
  if (!buffer_) return;
  buffer_->Stop();
  buffer_->SetCurrentPosition(0);
}

void DSoundInstance::Stop() {
  Halt();
  autoRelease_ = false;
}

bool DSoundInstance::IsPlaying() {
  if (!hasPlayed_ || !buffer_) return false;
  DWORD status = 0;
  if (FAILED(buffer_->GetStatus(&status))) return false;
  return (status & DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased() {
  if (!released_ && autoRelease_ && hasPlayed_ && !IsPlaying()) Release();
  return released_;
}

double DSoundInstance::GetVolume() { return volume_; }

}  // namespace Velk
