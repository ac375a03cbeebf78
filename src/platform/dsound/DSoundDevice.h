#pragma once
// The DirectSound device object: holds a reference to the process's audio output while it lives.

#include "platform/audio/AudioMixer.h"
#include "platform/dsound/DSound.h"

#include <atomic>

namespace Velk {

class DSoundDevice : public IDirectSound {
 public:
  explicit DSoundDevice(AudioMixer& mixer) : mixer_(mixer) {}

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) override;
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

 private:
  ~DSoundDevice() override;

  AudioMixer& mixer_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace Velk
