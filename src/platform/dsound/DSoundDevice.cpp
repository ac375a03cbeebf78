#include "platform/dsound/DSoundDevice.h"

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSoundBuffer.h"
#include "platform/dsound/DSoundFaults.h"

namespace Velk {

DSoundDevice::~DSoundDevice() { AudioOutput::Release(); }

ULONG DSoundDevice::AddRef() { return ++refs_; }

ULONG DSoundDevice::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DSoundDevice::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) {
  if (const HRESULT injected = DSoundFaults::Take(DSoundCall::CreateSoundBuffer); FAILED(injected)) return injected;
  if (!desc || !buffer || outer) return DSERR_INVALIDPARAM;
  HRESULT result = DS_OK;
  *buffer = DSoundBuffer::Create(mixer_, *desc, result);
  return result;
}

HRESULT DSoundDevice::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) {
  if (const HRESULT injected = DSoundFaults::Take(DSoundCall::DuplicateSoundBuffer); FAILED(injected)) {
    return injected;
  }
  if (!original || !duplicate) return DSERR_INVALIDPARAM;
  // Every buffer handed out by this layer is a DSoundBuffer.
  auto* source = static_cast<DSoundBuffer*>(original);
  if (source->IsPrimary()) return DSERR_INVALIDCALL;
  *duplicate = source->Duplicate();
  return DS_OK;
}

// There is no other application to share the device with: every level is granted.
HRESULT DSoundDevice::SetCooperativeLevel(HWND /*window*/, DWORD level) {
  return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
}

}  // namespace Velk

HRESULT DirectSoundCreate(const void* device, LPDIRECTSOUND* directSound, void* outer) {
  if (const HRESULT injected = Velk::DSoundFaults::Take(Velk::DSoundCall::Create); FAILED(injected)) {
    return injected;
  }
  if (!directSound || device || outer) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (!Velk::AudioOutput::Acquire()) return DSERR_NODRIVER;
  *directSound = new Velk::DSoundDevice(Velk::AudioOutput::Mixer());
  return DS_OK;
}
