#include "sound/FModMusicInterface.h"

#include "common/DataFolder.h"
#include "common/Folders.h"
#include "common/Path.h"
#include "platform/audio/WaveFile.h"

#include <algorithm>
#include <cstring>

namespace Velk {

FModMusicInterface::FModMusicInterface(HWND /*window*/) : mFmod(FMOD_INSTANCE::Acquire()) {}

FModMusicInterface::~FModMusicInterface() { FMOD_INSTANCE::Release(); }

FModMusicInterface::Song* FModMusicInterface::Find(int songId) {
  auto it = mSongs.find(songId);
  return it == mSongs.end() ? nullptr : &it->second;
}

void FModMusicInterface::ApplyVolume(int songId, const Song& song) {
  if (song.module) {
    mFmod->FMUSIC_SetMasterVolume(song.module, static_cast<int>(mMasterVolume * song.volume * mModuleVolumeScale));
  } else {
    mFmod->FSOUND_SetVolume(songId, static_cast<int>(mMasterVolume * song.volume * mSampleVolumeScale));
  }
}

void FModMusicInterface::Halt(int songId, const Song& song) {
  if (song.module) {
    mFmod->FMUSIC_StopSong(song.module);
  } else {
    mFmod->FSOUND_StopSound(songId);
  }
}

void FModMusicInterface::SetLooping(const Song& song, bool noLoop) {
  mFmod->FMUSIC_SetLooping(song.module, noLoop ? 1 : 2);
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName) {
  FMUSIC_MODULE* module = mFmod->FMUSIC_LoadSong(fileName.c_str());
  if (!module) return false;
  mSongs[songId] = Song{nullptr, module};
  return true;
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop) {
  Song* song = Find(songId);
  if (!song) return;
  song->volume = song->volumeCap;
  song->fadeStep = 0.0;
  if (song->sample) {
    mFmod->FSOUND_PlaySound(songId, song->sample);
    mFmod->FSOUND_SetLoopMode(songId, song->loop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
    ApplyVolume(songId, *song);
    return;
  }
  ApplyVolume(songId, *song);
  SetLooping(*song, noLoop);
  mFmod->FMUSIC_PlaySong(song->module);
  mFmod->FMUSIC_SetOrder(song->module, offset);
}

void FModMusicInterface::StopMusic(int songId) {
  Song* song = Find(songId);
  if (!song) return;
  song->volume = 0.0;
  Halt(songId, *song);
}

void FModMusicInterface::PauseMusic(int songId) {
  if (Song* song = Find(songId)) {
    song->module ? mFmod->FMUSIC_SetPaused(song->module, 1) : mFmod->FSOUND_SetPaused(songId, 1);
  }
}

void FModMusicInterface::ResumeMusic(int songId) {
  if (Song* song = Find(songId)) {
    song->module ? mFmod->FMUSIC_SetPaused(song->module, 0) : mFmod->FSOUND_SetPaused(songId, 0);
  }
}

void FModMusicInterface::StopAllMusic() {
  for (auto& [id, song] : mSongs) {
    song.volume = 0.0;
    Halt(id, song);
  }
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop) {
  Song* song = Find(songId);
  if (!song) return;
  song->fadeStep = speed;
  if (song->module) {
    ApplyVolume(songId, *song);
    SetLooping(*song, noLoop);
    if (!mFmod->FMUSIC_IsPlaying(song->module)) mFmod->FMUSIC_PlaySong(song->module);
    if (offset != -1) mFmod->FMUSIC_SetOrder(song->module, offset);
    return;
  }
  if (!mFmod->FSOUND_IsPlaying(songId)) {
    mFmod->FSOUND_PlaySound(songId, song->sample);
    mFmod->FSOUND_SetLoopMode(songId, song->loop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
  }
  ApplyVolume(songId, *song);
}

void FModMusicInterface::FadeOut(int songId, bool stopWhenFaded, double speed) {
  if (Song* song = Find(songId)) {
    song->stopWhenFaded = stopWhenFaded;
    song->fadeStep = -speed;
  }
}

void FModMusicInterface::FadeOutAll(bool stopWhenFaded, double speed) {
  for (auto& [id, song] : mSongs) FadeOut(id, stopWhenFaded, speed);
}

void FModMusicInterface::SetSongVolume(int songId, double volume) {
  if (Song* song = Find(songId)) {
    song->volume = volume;
    ApplyVolume(songId, *song);
  }
}

bool FModMusicInterface::IsPlaying(int songId) {
  Song* song = Find(songId);
  if (!song) return false;
  return song->module ? mFmod->FMUSIC_IsPlaying(song->module) != 0 : mFmod->FSOUND_IsPlaying(songId) != 0;
}

void FModMusicInterface::SetVolume(double volume) {
  mMasterVolume = volume;
  for (auto& [id, song] : mSongs) ApplyVolume(id, song);
}

void FModMusicInterface::Update() {
  for (auto& [id, song] : mSongs) {
    if (song.fadeStep == 0.0) continue;
    song.volume += song.fadeStep;
    if (song.volume > song.volumeCap) {
      song.volume = song.volumeCap;
      song.fadeStep = 0.0;
    } else if (song.volume < 0.0) {
      song.volume = 0.0;
      song.fadeStep = 0.0;
      if (song.stopWhenFaded) Halt(id, song);
    }
    ApplyVolume(id, song);
  }
}

bool FModMusicInterface::LoadSample(int songId, const std::string& fileName, bool loop) {
  FSOUND_SAMPLE* sample = LoadCachedSample(fileName);
  if (!sample) return false;
  Song song;
  song.sample = sample;
  song.loop = loop;
  mSongs[songId] = song;
  return true;
}

// One sample holding the intro followed by the loop part, looping over the loop part.
bool FModMusicInterface::LoadSampleWithLoop(int songId, const std::string& introFile, const std::string& loopFile,
                                            bool loop) {
  FSOUND_SAMPLE* intro = LoadCachedSample(introFile);
  FSOUND_SAMPLE* tail = intro ? LoadCachedSample(loopFile) : nullptr;
  const auto introSound = intro ? mFmod->ReadSample(intro) : std::nullopt;
  const auto tailSound = tail ? mFmod->ReadSample(tail) : std::nullopt;
  const unsigned int mode = intro ? mFmod->FSOUND_Sample_GetMode(intro) : 0;
  if (intro) mFmod->FSOUND_Sample_Free(intro);
  if (tail) mFmod->FSOUND_Sample_Free(tail);
  if (!introSound || !tailSound || introSound->BlockAlign() == 0) return false;

  const int align = introSound->BlockAlign();
  const int introFrames = static_cast<int>(introSound->data.size() / align);
  const int length = introFrames + static_cast<int>(tailSound->data.size() / align);
  FSOUND_SAMPLE* joined = mFmod->FSOUND_Sample_Alloc(-1, length, mode | FSOUND_LOOP_NORMAL,
                                                     static_cast<int>(introSound->rate), 255, 128, 0);
  if (!joined) return false;
  void* part1 = nullptr;
  void* part2 = nullptr;
  unsigned int bytes1 = 0;
  unsigned int bytes2 = 0;
  if (mFmod->FSOUND_Sample_Lock(joined, 0, length * align, &part1, &part2, &bytes1, &bytes2)) {
    std::vector<uint8_t> all = introSound->data;
    all.insert(all.end(), tailSound->data.begin(), tailSound->data.end());
    std::memcpy(part1, all.data(), std::min<size_t>(bytes1, all.size()));
    mFmod->FSOUND_Sample_Unlock(joined, part1, part2, bytes1, bytes2);
  }
  mFmod->FSOUND_Sample_SetLoopPoints(joined, introFrames, length - 1);
  Song song;
  song.sample = joined;
  song.loop = loop;
  mSongs[songId] = song;
  return true;
}

// A decoded copy under the cache folder spares decoding the Ogg file again next time.
FSOUND_SAMPLE* FModMusicInterface::LoadCachedSample(const std::string& file) {
  const std::string cacheFile = GetDataFolder() + "cached\\" + PathFileName(file, false) + ".wav";
  MakeDirs(PathDirectory(cacheFile, false));
  if (FSOUND_SAMPLE* cached = mFmod->FSOUND_Sample_Load(-1, cacheFile.c_str(), 0, 0)) return cached;
  FSOUND_SAMPLE* sample = mFmod->FSOUND_Sample_Load(-1, (file + ".ogg").c_str(), 0, 0);
  if (!sample) return nullptr;
  if (const auto sound = mFmod->ReadSample(sample)) WaveFile::WriteWholeFile(cacheFile, WaveFile::BuildPlain(*sound));
  return sample;
}

}  // namespace Velk
