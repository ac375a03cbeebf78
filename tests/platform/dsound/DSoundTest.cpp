#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSound.h"
#include "platform/dsound/DSoundFaults.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace Velk {
namespace {

class DSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioOutput::SetManualMixing(true);
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
  }
  void TearDown() override {
    ds_->Release();
    DSoundFaults::Clear();
    EXPECT_EQ(AudioOutput::Mixer().VoiceCount(), 0u) << "a buffer was not released";
  }

  // A mono 16-bit buffer holding `samples`.
  IDirectSoundBuffer* Make(const std::vector<int16_t>& samples, DWORD rate = 44100) {
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
    DSBUFFERDESC desc{DSBUFFERDESC_SIZE, 0x80EA, static_cast<DWORD>(samples.size() * 2), 0, &wfx};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memcpy(p, samples.data(), n);
    EXPECT_EQ(buffer->Unlock(p, n, nullptr, 0), DS_OK);
    return buffer;
  }

  static std::vector<int16_t> Render(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    AudioOutput::Mixer().Mix(out.data(), frames);
    return out;
  }

  IDirectSound* ds_ = nullptr;
};

TEST_F(DSoundTest, RefusesBadDescriptions) {
  IDirectSoundBuffer* buffer = nullptr;
  WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  DSBUFFERDESC desc{DSBUFFERDESC_SIZE, 0x80EA, 400, 0, &wfx};
  DSBUFFERDESC wrongSize = desc;
  wrongSize.dwSize = 36;
  EXPECT_EQ(ds_->CreateSoundBuffer(&wrongSize, &buffer, nullptr), DSERR_INVALIDPARAM);
  DSBUFFERDESC empty = desc;
  empty.dwBufferBytes = 0;
  EXPECT_EQ(ds_->CreateSoundBuffer(&empty, &buffer, nullptr), DSERR_INVALIDPARAM);
  for (WAVEFORMATEX bad : {WAVEFORMATEX{2, 2, 44100, 176400, 4, 16, 0}, WAVEFORMATEX{1, 3, 44100, 264600, 6, 16, 0},
                           WAVEFORMATEX{1, 2, 44100, 176400, 4, 24, 0}, WAVEFORMATEX{1, 2, 44100, 176400, 2, 16, 0},
                           WAVEFORMATEX{1, 1, 0, 0, 2, 16, 0}}) {
    DSBUFFERDESC d = desc;
    d.lpwfxFormat = &bad;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, &buffer, nullptr), DSERR_BADFORMAT);
  }
  EXPECT_EQ(buffer, nullptr);

  // The primary buffer takes a format but has no memory of its own.
  DSBUFFERDESC primaryDesc{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&primaryDesc, &primary, nullptr), DS_OK);
  EXPECT_EQ(primary->SetFormat(&wfx), DS_OK);
  void* p = nullptr;
  DWORD n = 0;
  EXPECT_EQ(primary->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DSERR_INVALIDCALL);
  IDirectSoundBuffer* dup = nullptr;
  EXPECT_EQ(ds_->DuplicateSoundBuffer(primary, &dup), DSERR_INVALIDCALL);
  primary->Release();
}

TEST_F(DSoundTest, LocksWholeOrWrappingRangesAndChecksUnlock) {
  IDirectSoundBuffer* buffer = Make({1, 2, 3, 4});
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(buffer->Lock(6, 4, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 2u);
  EXPECT_EQ(n2, 2u);
  EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 6);
  EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
  EXPECT_EQ(buffer->Lock(8, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 9, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  int16_t elsewhere = 0;
  EXPECT_EQ(buffer->Unlock(&elsewhere, 2, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(p2, 9, nullptr, 0), DSERR_INVALIDPARAM);

  WAVEFORMATEX wfx{};
  DWORD written = 0;
  ASSERT_EQ(buffer->GetFormat(&wfx, sizeof(wfx), &written), DS_OK);
  EXPECT_EQ(wfx.nChannels, 1);
  EXPECT_EQ(wfx.nSamplesPerSec, 44100u);
  EXPECT_EQ(wfx.wBitsPerSample, 16);
  buffer->Release();
}

TEST_F(DSoundTest, DuplicatesShareSamplesButPlayOnTheirOwn) {
  IDirectSoundBuffer* source = Make({1000, 2000, 3000});
  source->SetVolume(-600);
  IDirectSoundBuffer* dup = nullptr;
  ASSERT_EQ(ds_->DuplicateSoundBuffer(source, &dup), DS_OK);
  LONG volume = 0;
  dup->GetVolume(&volume);
  EXPECT_EQ(volume, -600) << "a duplicate starts with the original's settings";
  dup->SetVolume(0);

  void* p = nullptr;
  DWORD n = 0;
  ASSERT_EQ(source->Lock(0, 2, &p, &n, nullptr, nullptr, 0), DS_OK);
  *static_cast<int16_t*>(p) = -7;  // visible through the duplicate
  source->Unlock(p, n, nullptr, 0);

  ASSERT_EQ(dup->Play(0, 0, 0), DS_OK);
  DWORD status = 0;
  source->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  dup->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING);
  EXPECT_EQ(Render(4), (std::vector<int16_t>{-7, -7, 2000, 2000, 3000, 3000, 0, 0}));
  dup->GetStatus(&status);
  EXPECT_EQ(status, 0u) << "a one-shot buffer stops at its end";

  dup->Play(0, 0, DSBPLAY_LOOPING);
  dup->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  Render(2);
  dup->Stop();
  EXPECT_EQ(dup->SetCurrentPosition(4), DS_OK);
  EXPECT_EQ(dup->SetCurrentPosition(6), DSERR_INVALIDPARAM);
  dup->Play(0, 0, 0);
  EXPECT_EQ(Render(1), (std::vector<int16_t>{3000, 3000}));
  dup->Release();
  source->Release();
}

// Attenuation in hundredths of a decibel: amplitude 10^(v / 2000); pan attenuates the far side.
TEST_F(DSoundTest, VolumeAndPanAttenuateInHundredthsOfADecibel) {
  IDirectSoundBuffer* buffer = Make({20000, 20000, 20000, 20000, 20000});
  EXPECT_EQ(buffer->SetVolume(-605), DS_OK);  // 10^-0.3025 = 0.49831
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  auto out = Render(1);
  EXPECT_NEAR(out[0], 9966, 1);
  EXPECT_NEAR(out[1], 9966, 1);

  buffer->SetVolume(0);
  EXPECT_EQ(buffer->SetPan(200), DS_OK);  // left at 10^-0.1 = 0.794328
  out = Render(1);
  EXPECT_NEAR(out[0], 15887, 1);
  EXPECT_EQ(out[1], 20000);
  buffer->SetPan(-10000);
  out = Render(1);
  EXPECT_EQ(out[0], 20000);
  EXPECT_EQ(out[1], 0);
  buffer->SetPan(0);
  buffer->SetVolume(DSBVOLUME_MIN);
  EXPECT_EQ(Render(1), (std::vector<int16_t>{0, 0}));

  EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
  LONG pan = 1;
  buffer->GetPan(&pan);
  EXPECT_EQ(pan, 0);
  buffer->Release();
}

TEST_F(DSoundTest, FrequencyStaysInRangeAndZeroRestoresTheOriginal) {
  IDirectSoundBuffer* buffer = Make({0, 1000, 2000, 3000}, 22050);
  DWORD frequency = 0;
  EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(100001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(88200), DS_OK);
  buffer->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 88200u);
  buffer->Play(0, 0, 0);
  EXPECT_EQ(Render(2), (std::vector<int16_t>{0, 0, 2000, 2000}));
  EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  buffer->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 22050u);
  buffer->Release();
}

TEST_F(DSoundTest, InjectedFailuresHitOneCallOnly) {
  DSoundFaults::FailNext(DSoundCall::DuplicateSoundBuffer, DSERR_OUTOFMEMORY);
  IDirectSoundBuffer* buffer = Make({1, 2});
  IDirectSoundBuffer* dup = nullptr;
  EXPECT_EQ(ds_->DuplicateSoundBuffer(buffer, &dup), DSERR_OUTOFMEMORY);
  ASSERT_EQ(ds_->DuplicateSoundBuffer(buffer, &dup), DS_OK);
  dup->Release();
  buffer->Release();

  IDirectSound* other = nullptr;
  DSoundFaults::FailNext(DSoundCall::Create, DSERR_NODRIVER);
  EXPECT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
  AudioOutput::SetFailOpen(true);
  EXPECT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(other, nullptr);
  AudioOutput::SetFailOpen(false);
}

}  // namespace
}  // namespace Velk
