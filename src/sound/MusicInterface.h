#pragma once
// The framework's music layer. This base plays nothing: every operation does nothing and answers
// false. It is what the application runs with when sound is off.

#include <string>

namespace Velk {

class MusicInterface {
 public:
  virtual ~MusicInterface() = default;
  virtual bool LoadMusic(int songId, const std::string& fileName);
  virtual void PlayMusic(int songId, int offset, bool noLoop);
  virtual void StopMusic(int songId);
  virtual void PauseMusic(int songId);
  virtual void ResumeMusic(int songId);
  virtual void StopAllMusic();
  virtual void FadeIn(int songId, int offset, double speed, bool noLoop);
  virtual void FadeOut(int songId, bool stopWhenFaded, double speed);
  virtual void FadeOutAll(bool stopWhenFaded, double speed);
  virtual void SetSongVolume(int songId, double volume);
  virtual bool IsPlaying(int songId);
  virtual void SetVolume(double volume);
  // Once per logic update.
  virtual void Update();
  virtual bool LoadSampleWithLoop(int songId, const std::string& introFile, const std::string& loopFile, bool loop);
  virtual bool LoadSample(int songId, const std::string& fileName, bool loop);
};

}  // namespace Velk
