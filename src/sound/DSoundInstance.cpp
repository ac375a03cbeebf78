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

DSoundInstance::DSoundInstance(DSoundManager* manager, IDirectSoundBuffer* source) : mManager(manager) {
  if (source) {
    const HRESULT result = mManager->GetDirectSound()->DuplicateSoundBuffer(source, &mBuffer);
    if (FAILED(result)) {
      // The instance stays silent rather than taking the program down.
      std::fprintf(stderr, "Hey: %s\n", DirectXErrorName(static_cast<uint32_t>(result)).c_str());
      mBuffer = nullptr;
    } else {
      mBuffer->GetFrequency(&mDefaultFrequency);
    }
  }
  ApplyVolume();
}

DSoundInstance::~DSoundInstance() {
  if (mBuffer) mBuffer->Release();
}

LONG DSoundInstance::VolumeToAttenuation(double volume) {
  const double attenuation = std::trunc((std::log10(9.0 * volume + 1.0) - 1.0) * 2333.0);
  // Also catches the NaN of a negative volume.
  if (!(attenuation >= -2000.0)) return DSBVOLUME_MIN;
  return static_cast<LONG>(std::min(attenuation, 1e6));
}

void DSoundInstance::ApplyVolume() {
  if (mBuffer) mBuffer->SetVolume(VolumeToAttenuation(mVolume * mBaseVolume * mManager->GetVolume()));
}

void DSoundInstance::ApplyPan() {
  if (mBuffer)
    mBuffer->SetPan(static_cast<LONG>(std::clamp<int64_t>(int64_t{mPan} + mBasePan, DSBPAN_LEFT, DSBPAN_RIGHT)));
}

void DSoundInstance::Release() {
  Stop();
  mReleased = true;
}

void DSoundInstance::SetBaseVolume(double volume) {
  mBaseVolume = volume;
  ApplyVolume();
}

void DSoundInstance::SetBasePan(int pan) {
  mBasePan = pan;
  ApplyPan();
}

void DSoundInstance::AdjustPitch(double semitones) {
  if (!mBuffer) return;
  const double frequency = std::pow(kSemitone, semitones) * mDefaultFrequency;
  mBuffer->SetFrequency(static_cast<DWORD>(std::clamp(frequency, kMinFrequency, kMaxFrequency)));
}

void DSoundInstance::SetVolume(double volume) {
  mVolume = volume;
  ApplyVolume();
}

void DSoundInstance::SetPan(int pan) {
  mPan = pan;
  ApplyPan();
}

bool DSoundInstance::Play(bool looping, bool autoRelease) {
  Stop();
  mHasPlayed = true;
  mAutoRelease = autoRelease;
  if (!mBuffer) return false;
  return SUCCEEDED(mBuffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0));
}

void DSoundInstance::Halt() {
  if (!mBuffer) return;
  mBuffer->Stop();
  mBuffer->SetCurrentPosition(0);
}

void DSoundInstance::Stop() {
  Halt();
  mAutoRelease = false;
}

bool DSoundInstance::IsPlaying() {
  if (!mHasPlayed || !mBuffer) return false;
  DWORD status = 0;
  if (FAILED(mBuffer->GetStatus(&status))) return false;
  return (status & DSBSTATUS_PLAYING) != 0;
}

bool DSoundInstance::IsReleased() {
  if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying()) Release();
  return mReleased;
}

double DSoundInstance::GetVolume() { return mVolume; }

}  // namespace Velk
