#pragma once
// Music through the FMOD library: module songs, and samples that play on the FMOD channel numbered
// by their song id, with fades run by Update.

#include "platform/base/WinTypes.h"
#include "sound/FMOD_INSTANCE.h"
#include "sound/MusicInterface.h"

#include <map>

namespace Velk {

class FModMusicInterface : public MusicInterface {
 public:
  explicit FModMusicInterface(HWND window);
  ~FModMusicInterface() override;
  FModMusicInterface(const FModMusicInterface&) = delete;
  FModMusicInterface& operator=(const FModMusicInterface&) = delete;

  bool LoadMusic(int songId, const std::string& fileName) override;
  void PlayMusic(int songId, int offset, bool noLoop) override;
  void StopMusic(int songId) override;
  void PauseMusic(int songId) override;
  void ResumeMusic(int songId) override;
  void StopAllMusic() override;
  void FadeIn(int songId, int offset, double speed, bool noLoop) override;
  void FadeOut(int songId, bool stopWhenFaded, double speed) override;
  void FadeOutAll(bool stopWhenFaded, double speed) override;
  void SetSongVolume(int songId, double volume) override;
  bool IsPlaying(int songId) override;
  void SetVolume(double volume) override;
  void Update() override;
  bool LoadSampleWithLoop(int songId, const std::string& introFile, const std::string& loopFile, bool loop) override;
  bool LoadSample(int songId, const std::string& fileName, bool loop) override;

 private:
  struct Song {
    FSOUND_SAMPLE* sample = nullptr;
    FMUSIC_MODULE* module = nullptr;
    double volume = 0.0;
    double fadeStep = 0.0;
    double volumeCap = 1.0;
    bool stopWhenFaded = false;
    bool loop = false;
  };

  Song* Find(int songId);
  void ApplyVolume(int songId, const Song& song);
  void Halt(int songId, const Song& song);
  void SetLooping(const Song& song, bool noLoop);
  FSOUND_SAMPLE* LoadCachedSample(const std::string& file);

  FMOD_INSTANCE* mFmod;
  std::map<int, Song> mSongs;
  double mMasterVolume = 1.0;
  int mModuleVolumeScale = 100;
  int mSampleVolumeScale = 100;
};

}  // namespace Velk
