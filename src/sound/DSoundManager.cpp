#include "sound/DSoundManager.h"

#include "common/DataFolder.h"
#include "common/Folders.h"
#include "common/Path.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOutput.h"
#include "platform/clock/Clock.h"
#include "platform/files/FindFiles.h"
#include "platform/modules/Modules.h"
#include "sound/AuFile.h"
#include "sound/FMOD_INSTANCE.h"
#include "platform/audio/OggFile.h"
#include "sound/PakSoundSource.h"
#include "platform/audio/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace Velk {

namespace {

constexpr DWORD kStaticBufferFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                                     DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;

// Relative names only: an absolute name has no place under the cache folder.
bool IsCacheable(const std::string& name) {
  return name.size() > 2 && name[0] != '\\' && name[0] != '/' && name[1] != ':';
}

WAVEFORMATEX PcmFormat(WORD channels, DWORD rate, WORD bits) {
  const WORD align = static_cast<WORD>(channels * bits / 8);
  return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, align * rate, align, bits, 0};
}

}  // namespace

DSoundManager::DSoundManager(HWND window, bool useFmod) : mUseFmod(useFmod) {
  mBaseVolumes.fill(1.0);
  if (window) CreateDevice(window);
}

void DSoundManager::CreateDevice(HWND window) {
  // The application has loaded the module by name; its entry may be missing.
  HMODULE module = GetModuleHandleA("dsound.dll");
  auto create =
      reinterpret_cast<decltype(&DirectSoundCreate)>(module ? GetProcAddress(module, "DirectSoundCreate") : nullptr);
  if (!create || FAILED(create(nullptr, &mDirectSound, nullptr))) {
    mDirectSound = nullptr;
    return;
  }
  if (mUseFmod && (mFmod = FMOD_INSTANCE::Acquire()) != nullptr) {
    mFmod->FSOUND_SetHWND(window);
    mFmod->FSOUND_SetBufferSize(200);
    mFmod->FSOUND_Init(44100, 64, 2);
  }
  if (FAILED(mDirectSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
    mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
    return;
  }
  DSBUFFERDESC desc{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  if (FAILED(mDirectSound->CreateSoundBuffer(&desc, &mPrimary, nullptr))) {
    mPrimary = nullptr;
    return;
  }
  const WAVEFORMATEX format = PcmFormat(2, 44100, 16);
  mPrimary->SetFormat(&format);
}

DSoundManager::~DSoundManager() {
  ReleaseChannels();
  ReleaseSounds();
  if (mPrimary) mPrimary->Release();
  if (!mDirectSound) return;
  if (mFmod) mFmod->FSOUND_Close();
  mDirectSound->Release();
  if (mFmod) FMOD_INSTANCE::Release();
}

bool DSoundManager::IsInitialized() { return mDirectSound != nullptr; }

int DSoundManager::LoadSound(const std::string& fileName) {
  for (int id = 0; id < kMaxSounds; ++id) {
    if (mSourceNames[id] != fileName) continue;
    // A slot emptied by ReleaseSounds keeps its name: fill it again rather than hand out silence.
    if (mDirectSound && !mSources[id] && !LoadSoundAt(id, fileName)) return -1;
    return id;
  }
  for (int id = kMaxSounds - 1; id >= 0; --id) {
    if (!mSources[id]) return LoadSoundAt(id, fileName) ? id : -1;
  }
  return -1;
}

bool DSoundManager::LoadSoundAt(int id, const std::string& name) {
  if (!IsValidId(id)) return false;
  ReleaseSound(id);
  if (!mDirectSound) return true;
  mSourceNames[id] = name;

  std::string cacheFile;
  if (IsCacheable(name)) {
    cacheFile = GetDataFolder() + "cached\\" + name + ".wav";
    if (ReadWaveFile(id, cacheFile)) return true;
    MakeDirs(PathDirectory(cacheFile, false));
  }
  if (ReadWaveFile(id, name + ".wav")) return true;
  if (mUseFmod && LoadMp3ViaFmod(id, name + ".mp3")) {
    WriteSoundCache(id, cacheFile, name + ".mp3");
    return true;
  }
  std::string source = name + ".ogg";
  if (!LoadOggFile(id, source)) {
    source = name + ".au";
    if (!LoadAuFile(id, source)) return false;
  }
  WriteSoundCache(id, cacheFile, source);
  return true;
}

bool DSoundManager::StoreSound(int id, const std::optional<PcmSound>& sound) {
  if (!sound) return false;
  mSourceSizes[id] = static_cast<DWORD>(sound->data.size());
  WAVEFORMATEX format = PcmFormat(sound->channels, sound->rate, sound->bits);
  DSBUFFERDESC desc{DSBUFFERDESC_SIZE, kStaticBufferFlags, mSourceSizes[id], 0, &format};
  IDirectSoundBuffer*& buffer = mSources[id];
  if (FAILED(mDirectSound->CreateSoundBuffer(&desc, &buffer, nullptr))) {
    buffer = nullptr;
    return false;
  }
  void* part = nullptr;
  DWORD bytes = 0;
  bool filled = SUCCEEDED(buffer->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER));
  if (filled) {
    std::memcpy(part, sound->data.data(), std::min<size_t>(bytes, sound->data.size()));
    filled = SUCCEEDED(buffer->Unlock(part, bytes, nullptr, 0));
  }
  if (!filled) {
    buffer->Release();
    buffer = nullptr;
  }
  return filled;
}

bool DSoundManager::ReadWaveFile(int id, const std::string& file) {
  auto source = PakSoundSource::Open(file);
  if (!source) return false;
  const auto sound = WaveFile::Read(*source, [](const std::string& name, uint64_t stored) {
    uint64_t current = 0;
    GetSourceFileTime(name, current);
    return current == stored;
  });
  return StoreSound(id, sound);
}

bool DSoundManager::LoadOggFile(int id, const std::string& file) {
  auto source = PakSoundSource::Open(file);
  return source && StoreSound(id, OggFile::Read(*source));
}

bool DSoundManager::LoadAuFile(int id, const std::string& file) {
  auto source = PakSoundSource::Open(file);
  return source && StoreSound(id, AuFile::Read(*source));
}

bool DSoundManager::LoadMp3ViaFmod(int id, const std::string& file) {
  if (!mUseFmod || !mFmod) return false;
  FSOUND_SAMPLE* sample = mFmod->FSOUND_Sample_Load(-1, file.c_str(), 0, 0);
  if (!sample) return false;
  const auto sound = mFmod->ReadSample(sample);
  mFmod->FSOUND_Sample_Free(sample);
  return StoreSound(id, sound);
}

std::optional<PcmSound> DSoundManager::ReadBackSound(int id) {
  IDirectSoundBuffer* buffer = mSources[id];
  WAVEFORMATEX format;
  if (FAILED(buffer->GetFormat(&format, sizeof(format), nullptr))) return std::nullopt;
  void* part = nullptr;
  DWORD bytes = 0;
  if (FAILED(buffer->Lock(0, mSourceSizes[id], &part, &bytes, nullptr, nullptr, 0))) return std::nullopt;
  PcmSound sound;
  sound.channels = format.nChannels;
  sound.rate = format.nSamplesPerSec;
  sound.bits = format.wBitsPerSample;
  const auto* begin = static_cast<const uint8_t*>(part);
  sound.data.assign(begin, begin + bytes);
  if (FAILED(buffer->Unlock(part, bytes, nullptr, 0))) return std::nullopt;
  return sound;
}

bool DSoundManager::WriteSoundCache(int id, const std::string& cacheFile, const std::string& source) {
  if (source.empty() || cacheFile.empty() || !IsValidId(id) || !mSources[id]) return false;
  const auto sound = ReadBackSound(id);
  if (!sound) return false;
  uint64_t time = 0;
  GetSourceFileTime(source, time);
  return WaveFile::WriteWholeFile(cacheFile, WaveFile::BuildCache(*sound, source, time));
}

bool DSoundManager::GetSourceFileTime(const std::string& name, uint64_t& time) {
  time = 0;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(name.c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
      return true;
    }
  }
  // An archive member carries its own time, so that a changed archive makes its copies stale.
  PakFile* file = PakFileOpen(name.c_str(), "rb");
  if (!file) return false;
  const bool member = file->entry != nullptr;
  if (member) time = file->entry->fileTime;
  PakFileClose(file);
  return member;
}

void DSoundManager::ReleaseSound(int id) {
  if (!IsValidId(id)) return;
  if (mSources[id]) mSources[id]->Release();
  mSources[id] = nullptr;
  mSourceNames[id].clear();
  mSourceSizes[id] = 0;
}

void DSoundManager::SetVolume(double volume) {
  mVolume = volume;
  for (auto& channel : mChannels) {
    if (channel) channel->SetVolume(channel->GetVolume());
  }
}

bool DSoundManager::SetBaseVolume(int id, double volume) {
  if (!IsValidId(id)) return false;
  mBaseVolumes[id] = volume;
  return true;
}

bool DSoundManager::SetBasePan(int id, int pan) {
  if (!IsValidId(id)) return false;
  mBasePans[id] = pan;
  return true;
}

SoundInstance* DSoundManager::GetSoundInstance(int id) {
  if (!IsValidId(id)) return nullptr;
  const DWORD now = GetTickCount();
  if (TickDiff(now, mLastReleaseCheck) > kReleaseCheckMs) {
    for (auto& channel : mChannels) {
      if (channel && channel->IsReleased()) channel.reset();
    }
    mLastReleaseCheck = now;
  }
  auto free = std::find_if(mChannels.begin(), mChannels.end(),
                           [](const auto& channel) { return !channel || channel->IsReleased(); });
  if (free == mChannels.end()) return nullptr;
  free->reset();
  if (mDirectSound && !mSources[id]) return nullptr;
  *free = std::make_unique<DSoundInstance>(this, mDirectSound ? mSources[id] : nullptr);
  (*free)->SetBasePan(mBasePans[id]);
  (*free)->SetBaseVolume(mBaseVolumes[id]);
  return free->get();
}

void DSoundManager::ReleaseSounds() {
  for (auto& source : mSources) {
    if (source) source->Release();
    source = nullptr;
  }
}

void DSoundManager::ReleaseChannels() {
  for (auto& channel : mChannels) channel.reset();
}

// The wave-out volume is the mixer's master gain, kept in the 16-bit steps of a volume control.
double DSoundManager::GetMasterVolume() { return AudioOutput::Mixer().GetMasterGain() / 65535.0; }

void DSoundManager::SetMasterVolume(double volume) {
  AudioOutput::Mixer().SetMasterGain(static_cast<uint32_t>(std::clamp(volume, 0.0, 1.0) * 65535.0));
}

void DSoundManager::Flush() {}

void DSoundManager::SetCooperativeLevel(HWND window, bool /*windowed*/) {
  if (mDirectSound) mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
}

void DSoundManager::StopAllSounds() {
  for (auto& channel : mChannels) {
    if (channel) channel->Halt();
  }
}

int DSoundManager::GetFreeSoundId() {
  for (int id = 0; id < kMaxSounds; ++id) {
    if (!mSources[id]) return id;
  }
  return -1;
}

int DSoundManager::GetNumSounds() {
  return static_cast<int>(std::count_if(mSources.begin(), mSources.end(), [](auto* s) { return s != nullptr; }));
}

}  // namespace Velk
