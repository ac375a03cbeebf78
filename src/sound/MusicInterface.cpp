#include "sound/MusicInterface.h"

namespace Velk {

bool MusicInterface::LoadMusic(int, const std::string&) { return false; }
void MusicInterface::PlayMusic(int, int, bool) {}
void MusicInterface::StopMusic(int) {}
void MusicInterface::PauseMusic(int) {}
void MusicInterface::ResumeMusic(int) {}
void MusicInterface::StopAllMusic() {}
void MusicInterface::FadeIn(int, int, double, bool) {}
void MusicInterface::FadeOut(int, bool, double) {}
void MusicInterface::FadeOutAll(bool, double) {}
void MusicInterface::SetSongVolume(int, double) {}
bool MusicInterface::IsPlaying(int) { return false; }
void MusicInterface::SetVolume(double) {}
void MusicInterface::Update() {}
bool MusicInterface::LoadSampleWithLoop(int, const std::string&, const std::string&, bool) { return false; }
bool MusicInterface::LoadSample(int, const std::string&, bool) { return false; }

}  // namespace Velk
