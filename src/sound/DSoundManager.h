#pragma once
// The sound-effect manager over DirectSound: 256 sound slots, each a decoded sound in a static
// buffer, and 32 channels of playing instances that duplicate those buffers. Without a device every
// load succeeds without loading and instances are silent.

#include "platform/base/WinTypes.h"
#include "platform/dsound/DSound.h"
#include "sound/DSoundInstance.h"
#include "platform/audio/PcmSound.h"
#include "sound/SoundManager.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Velk {

class FMOD_INSTANCE;
class SoundSource;

class DSoundManager : public SoundManager {
 public:
  static constexpr int kMaxSounds = 256;
  static constexpr int kMaxChannels = 32;
  static constexpr int kReleaseCheckMs = 1000;

  DSoundManager(HWND window, bool useFmod);
  ~DSoundManager() override;
  DSoundManager(const DSoundManager&) = delete;
  DSoundManager& operator=(const DSoundManager&) = delete;

  bool IsInitialized() override;
  int LoadSound(const std::string& fileName) override;
  bool LoadSoundAt(int id, const std::string& fileName) override;
  void ReleaseSound(int id) override;
  void SetVolume(double volume) override;
  bool SetBaseVolume(int id, double volume) override;
  bool SetBasePan(int id, int pan) override;
  SoundInstance* GetSoundInstance(int id) override;
  void ReleaseSounds() override;
  void ReleaseChannels() override;
  double GetMasterVolume() override;
  void SetMasterVolume(double volume) override;
  void Flush() override;
  void SetCooperativeLevel(HWND window, bool windowed) override;
  void StopAllSounds() override;
  int GetFreeSoundId() override;
  int GetNumSounds() override;

  IDirectSound* GetDirectSound() const { return mDirectSound; }
  double GetVolume() const { return mVolume; }

  // The source's last-write time as a FILETIME value; 0 (and false) when it is neither a plain file
  // nor an archive member.
  static bool GetSourceFileTime(const std::string& name, uint64_t& time);

 private:
  static bool IsValidId(int id) { return id >= 0 && id < kMaxSounds; }
  void CreateDevice(HWND window);

  bool ReadWaveFile(int id, const std::string& file);
  bool LoadOggFile(int id, const std::string& file);
  bool LoadAuFile(int id, const std::string& file);
  bool LoadMp3ViaFmod(int id, const std::string& file);
  bool WriteSoundCache(int id, const std::string& cacheFile, const std::string& source);
  // Puts a decoded sound into the slot; on failure the slot stays empty.
  bool StoreSound(int id, const std::optional<PcmSound>& sound);
  std::optional<PcmSound> ReadBackSound(int id);

  IDirectSound* mDirectSound = nullptr;
  IDirectSoundBuffer* mPrimary = nullptr;
  std::array<IDirectSoundBuffer*, kMaxSounds> mSources{};
  std::array<std::string, kMaxSounds> mSourceNames;
  std::array<DWORD, kMaxSounds> mSourceSizes{};
  std::array<double, kMaxSounds> mBaseVolumes;
  std::array<int, kMaxSounds> mBasePans{};
  std::array<std::unique_ptr<DSoundInstance>, kMaxChannels> mChannels;
  double mVolume = 1.0;
  DWORD mLastReleaseCheck = 0;
  bool mUseFmod = false;
  FMOD_INSTANCE* mFmod = nullptr;
};

}  // namespace Velk
