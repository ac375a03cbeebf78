#pragma once
// A DirectSound buffer over the software mixer. A secondary buffer owns one voice; duplicates share
// the PCM but have their own voice, so their own position, volume, pan and frequency. Writing a
// buffer's memory while a duplicate of it plays is not synchronised, as with the real device.

#include "platform/audio/AudioMixer.h"
#include "platform/dsound/DSound.h"

#include <atomic>
#include <memory>

namespace Velk {

class DSoundBuffer : public IDirectSoundBuffer {
 public:
  // Validates the description; null result with the failure in `result`.
  static DSoundBuffer* Create(AudioMixer& mixer, const DSBUFFERDESC& desc, HRESULT& result);
  DSoundBuffer* Duplicate() const;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) override;
  HRESULT GetFrequency(DWORD* frequency) override;
  HRESULT GetPan(LONG* pan) override;
  HRESULT GetStatus(DWORD* status) override;
  HRESULT GetVolume(LONG* volume) override;
  HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
               DWORD flags) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT SetCurrentPosition(DWORD position) override;
  HRESULT SetFormat(const WAVEFORMATEX* format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetPan(LONG pan) override;
  HRESULT SetFrequency(DWORD frequency) override;
  HRESULT Stop() override;
  HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override;

  bool IsPrimary() const { return !pcm_; }

 private:
  DSoundBuffer(AudioMixer& mixer, std::shared_ptr<AudioPcm> pcm, const WAVEFORMATEX& format);
  ~DSoundBuffer() override;
  void ApplyGain();
  bool OwnsRange(const void* part, DWORD bytes) const;

  AudioMixer& mixer_;
  std::shared_ptr<AudioPcm> pcm_;  // null for the primary buffer
  WAVEFORMATEX format_;
  AudioMixer::VoiceId voice_ = 0;
  LONG volume_ = DSBVOLUME_MAX;
  LONG pan_ = 0;
  DWORD frequency_ = 0;
  std::atomic<ULONG> refs_{1};
};

}  // namespace Velk
