#pragma once
// A playing copy of a sound slot: a duplicate of the slot's buffer with its own volume, pan, pitch
// and position. Without a buffer (no device, or the duplicate failed) every call is harmless.

#include "platform/dsound/DSound.h"
#include "sound/SoundInstance.h"

namespace Velk {

class DSoundManager;

class DSoundInstance : public SoundInstance {
 public:
  DSoundInstance(DSoundManager* manager, IDirectSoundBuffer* source);
  ~DSoundInstance() override;
  DSoundInstance(const DSoundInstance&) = delete;
  DSoundInstance& operator=(const DSoundInstance&) = delete;

  void Release() override;
  void SetBaseVolume(double volume) override;
  void SetBasePan(int pan) override;
  void AdjustPitch(double semitones) override;
  void SetVolume(double volume) override;
  void SetPan(int pan) override;
  bool Play(bool looping, bool autoRelease) override;
  void Stop() override;
  bool IsPlaying() override;
  bool IsReleased() override;
  double GetVolume() override;

  // Stops the sound but keeps the auto-release setting, so that a stopped auto-release instance is
  // still collected.
  void Halt();
  // The duplicate this instance plays; null when silent.
  IDirectSoundBuffer* GetBuffer() const { return mBuffer; }

  // The buffer attenuation (hundredths of a decibel) for a linear volume 0..1.
  static LONG VolumeToAttenuation(double volume);

 private:
  void ApplyVolume();
  void ApplyPan();

  DSoundManager* mManager;
  IDirectSoundBuffer* mBuffer = nullptr;
  bool mAutoRelease = false;
  bool mHasPlayed = false;
  bool mReleased = false;
  int mBasePan = 0;
  double mBaseVolume = 1.0;
  int mPan = 0;
  double mVolume = 1.0;
  DWORD mDefaultFrequency = 44100;
};

}  // namespace Velk
