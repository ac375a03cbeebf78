#pragma once
// The sound-effect manager as the application sees it: numbered sound slots 0..255 and playing
// instances of them.

#include "platform/base/WinTypes.h"

#include <string>

namespace Velk {

class SoundInstance;

class SoundManager {
 public:
  virtual ~SoundManager() = default;
  virtual bool IsInitialized() = 0;
  // The slot the sound went into, or -1.
  virtual int LoadSound(const std::string& fileName) = 0;
  virtual bool LoadSoundAt(int id, const std::string& fileName) = 0;
  virtual void ReleaseSound(int id) = 0;
  virtual void SetVolume(double volume) = 0;
  virtual bool SetBaseVolume(int id, double volume) = 0;
  virtual bool SetBasePan(int id, int pan) = 0;
  // Null when the id has no sound or every channel is busy. The manager owns the instance.
  virtual SoundInstance* GetSoundInstance(int id) = 0;
  virtual void ReleaseSounds() = 0;
  virtual void ReleaseChannels() = 0;
  virtual double GetMasterVolume() = 0;
  virtual void SetMasterVolume(double volume) = 0;
  virtual void Flush() = 0;
  virtual void SetCooperativeLevel(HWND window, bool windowed) = 0;
  virtual void StopAllSounds() = 0;
  virtual int GetFreeSoundId() = 0;
  virtual int GetNumSounds() = 0;
};

}  // namespace Velk
