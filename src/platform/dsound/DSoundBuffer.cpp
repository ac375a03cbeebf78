#include "platform/dsound/DSoundBuffer.h"

#include "platform/dsound/DSoundFaults.h"

#include <algorithm>
#include <cmath>

namespace Velk {

namespace {

bool IsPcmFormat(const WAVEFORMATEX& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
         f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

// Hundredths of a decibel to a linear amplitude; the minimum is silence.
float Amplitude(LONG hundredthsDb) {
  if (hundredthsDb <= DSBVOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

}  // namespace

DSoundBuffer* DSoundBuffer::Create(AudioMixer& mixer, const DSBUFFERDESC& desc, HRESULT& result) {
  result = DSERR_INVALIDPARAM;
  if (desc.dwSize != DSBUFFERDESC_SIZE) return nullptr;
  if (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (desc.dwBufferBytes != 0 || desc.lpwfxFormat) return nullptr;
    result = DS_OK;
    return new DSoundBuffer(mixer, nullptr, WAVEFORMATEX{});
  }
  if (!desc.lpwfxFormat) return nullptr;
  const WAVEFORMATEX& format = *desc.lpwfxFormat;
  if (!IsPcmFormat(format)) {
    result = DSERR_BADFORMAT;
    return nullptr;
  }
  if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) return nullptr;
  auto pcm = std::make_shared<AudioPcm>();
  pcm->channels = format.nChannels;
  pcm->bits = format.wBitsPerSample;
  pcm->bytes.assign(desc.dwBufferBytes, format.wBitsPerSample == 8 ? 0x80 : 0);
  result = DS_OK;
  return new DSoundBuffer(mixer, std::move(pcm), format);
}

DSoundBuffer::DSoundBuffer(AudioMixer& mixer, std::shared_ptr<AudioPcm> pcm, const WAVEFORMATEX& format)
    : mixer_(mixer), pcm_(std::move(pcm)), format_(format), frequency_(format.nSamplesPerSec) {
  if (pcm_) voice_ = mixer_.AddVoice(pcm_, frequency_);
}

DSoundBuffer::~DSoundBuffer() {
  if (voice_) mixer_.RemoveVoice(voice_);
}

DSoundBuffer* DSoundBuffer::Duplicate() const {
  auto* copy = new DSoundBuffer(mixer_, pcm_, format_);
  copy->volume_ = volume_;
  copy->pan_ = pan_;
  copy->frequency_ = frequency_;
  copy->mixer_.SetRate(copy->voice_, frequency_);
  copy->ApplyGain();
  return copy;
}

ULONG DSoundBuffer::AddRef() { return ++refs_; }

ULONG DSoundBuffer::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void DSoundBuffer::ApplyGain() {
  const LONG left = pan_ > 0 ? volume_ - pan_ : volume_;
  const LONG right = pan_ < 0 ? volume_ + pan_ : volume_;
  mixer_.SetGain(voice_, Amplitude(left), Amplitude(right));
}

HRESULT DSoundBuffer::GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) {
  constexpr DWORD kSize = 18;  // the structure's size on the wire, without padding
  if (!format) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = kSize;
    return DS_OK;
  }
  if (sizeAllocated < kSize) return DSERR_INVALIDPARAM;
  *format = format_;
  if (sizeWritten) *sizeWritten = kSize;
  return DS_OK;
}

HRESULT DSoundBuffer::GetFrequency(DWORD* frequency) {
  if (!frequency || IsPrimary()) return DSERR_INVALIDPARAM;
  *frequency = frequency_;
  return DS_OK;
}

HRESULT DSoundBuffer::GetPan(LONG* pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  *pan = pan_;
  return DS_OK;
}

HRESULT DSoundBuffer::GetVolume(LONG* volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  *volume = volume_;
  return DS_OK;
}

HRESULT DSoundBuffer::GetStatus(DWORD* status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = 0;
  if (IsPrimary() || !mixer_.IsPlaying(voice_)) return DS_OK;
  *status = DSBSTATUS_PLAYING | (mixer_.IsLooping(voice_) ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

HRESULT DSoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                           DWORD flags) {
  if (const HRESULT injected = DSoundFaults::Take(DSoundCall::Lock); FAILED(injected)) return injected;
  if (IsPrimary()) return DSERR_INVALIDCALL;
  const DWORD size = static_cast<DWORD>(pcm_->bytes.size());
  if (flags & DSBLOCK_ENTIREBUFFER) {
    offset = 0;
    bytes = size;
  }
  if (!part1 || !bytes1 || offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
  // A range running past the end wraps to the start, as in a circular buffer.
  const DWORD first = std::min(bytes, size - offset);
  *part1 = pcm_->bytes.data() + offset;
  *bytes1 = first;
  if (part2) *part2 = first < bytes ? pcm_->bytes.data() : nullptr;
  if (bytes2) *bytes2 = bytes - first;
  return DS_OK;
}

bool DSoundBuffer::OwnsRange(const void* part, DWORD bytes) const {
  const auto* begin = pcm_->bytes.data();
  const auto* p = static_cast<const uint8_t*>(part);
  return p >= begin && static_cast<size_t>(p - begin) + bytes <= pcm_->bytes.size();
}

HRESULT DSoundBuffer::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
  if (const HRESULT injected = DSoundFaults::Take(DSoundCall::Unlock); FAILED(injected)) return injected;
  if (IsPrimary() || !part1 || !OwnsRange(part1, bytes1)) return DSERR_INVALIDPARAM;
  if (part2 && !OwnsRange(part2, bytes2)) return DSERR_INVALIDPARAM;
  return DS_OK;
}

HRESULT DSoundBuffer::Play(DWORD reserved, DWORD /*priority*/, DWORD flags) {
  if (const HRESULT injected = DSoundFaults::Take(DSoundCall::Play); FAILED(injected)) return injected;
  if (reserved != 0) return DSERR_INVALIDPARAM;
  if (!IsPrimary()) mixer_.Play(voice_, (flags & DSBPLAY_LOOPING) != 0);
  return DS_OK;
}

HRESULT DSoundBuffer::Stop() {
  if (!IsPrimary()) mixer_.Stop(voice_);
  return DS_OK;
}

HRESULT DSoundBuffer::SetCurrentPosition(DWORD position) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (position >= pcm_->bytes.size()) return DSERR_INVALIDPARAM;
  mixer_.SetPosition(voice_, position / format_.nBlockAlign);
  return DS_OK;
}

HRESULT DSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
  if (!IsPrimary()) return DSERR_INVALIDCALL;
  if (!format || !IsPcmFormat(*format)) return DSERR_BADFORMAT;
  format_ = *format;  // the mixer's own output format stays 44100 Hz 16-bit stereo
  return DS_OK;
}

HRESULT DSoundBuffer::SetVolume(LONG volume) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume_ = volume;
  ApplyGain();
  return DS_OK;
}

HRESULT DSoundBuffer::SetPan(LONG pan) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  pan_ = pan;
  ApplyGain();
  return DS_OK;
}

HRESULT DSoundBuffer::SetFrequency(DWORD frequency) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (frequency == DSBFREQUENCY_ORIGINAL) frequency = format_.nSamplesPerSec;
  if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  frequency_ = frequency;
  mixer_.SetRate(voice_, frequency);
  return DS_OK;
}

}  // namespace Velk
