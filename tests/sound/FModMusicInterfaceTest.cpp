#include "sound/BassMusicInterface.h"
#include "sound/FModMusicInterface.h"

#include "SoundTestSupport.h"

#include <map>

namespace Velk {
namespace {

// A stand-in for the library: modules and channels are numbers, calls are recorded.
struct FakeFmod {
  std::map<int, int> moduleVolume;
  std::map<int, int> channelVolume;
  std::map<int, bool> modulePlaying;
  std::map<int, int> looping;
  int stops = 0;
  int lastOrder = -99;
  std::string lastLoad;
};
FakeFmod gFake;

FMUSIC_MODULE* AsModule(int n) { return reinterpret_cast<FMUSIC_MODULE*>(static_cast<intptr_t>(n)); }
int ModuleNumber(FMUSIC_MODULE* m) { return static_cast<int>(reinterpret_cast<intptr_t>(m)); }

signed char Ok1(int) { return 1; }
signed char OkPtr(void*) { return 1; }
signed char Init(int, int, unsigned int) { return 1; }
void Close() {}
FSOUND_SAMPLE* SampleLoad(int, const char* name, unsigned int, int) {
  gFake.lastLoad = name;
  return nullptr;
}
FSOUND_SAMPLE* SampleAlloc(int, int, unsigned int, int, int, int, int) { return nullptr; }
void SampleFree(FSOUND_SAMPLE*) {}
signed char SampleLock(FSOUND_SAMPLE*, int, int, void**, void**, unsigned int*, unsigned int*) { return 0; }
signed char SampleUnlock(FSOUND_SAMPLE*, void*, void*, unsigned int, unsigned int) { return 1; }
signed char SetLoopPoints(FSOUND_SAMPLE*, int, int) { return 1; }
unsigned int GetLength(FSOUND_SAMPLE*) { return 0; }
signed char GetDefaults(FSOUND_SAMPLE*, int*, int*, int*, int*) { return 1; }
unsigned int GetMode(FSOUND_SAMPLE*) { return 0; }
int PlaySound(int channel, FSOUND_SAMPLE*) { return channel; }
signed char StopSound(int) { return 1; }
signed char SetVolume(int channel, int volume) {
  gFake.channelVolume[channel] = volume;
  return 1;
}
signed char SetPaused(int, signed char) { return 1; }
signed char SetLoopMode(int, unsigned int) { return 1; }
signed char IsPlaying(int) { return 0; }
FSOUND_STREAM* StreamOpen(const char*, unsigned int, int) { return nullptr; }
signed char StreamClose(FSOUND_STREAM*) { return 1; }
int StreamPlay(int, FSOUND_STREAM*) { return -1; }
FMUSIC_MODULE* LoadSong(const char* name) { return std::string(name) == "missing.xm" ? nullptr : AsModule(7); }
signed char PlaySong(FMUSIC_MODULE* m) {
  gFake.modulePlaying[ModuleNumber(m)] = true;
  return 1;
}
signed char StopSong(FMUSIC_MODULE* m) {
  gFake.modulePlaying[ModuleNumber(m)] = false;
  ++gFake.stops;
  return 1;
}
signed char SetLooping(FMUSIC_MODULE* m, signed char loop) {
  gFake.looping[ModuleNumber(m)] = loop;
  return 1;
}
signed char SetOrder(FMUSIC_MODULE*, int order) {
  gFake.lastOrder = order;
  return 1;
}
signed char SetModulePaused(FMUSIC_MODULE*, signed char) { return 1; }
signed char SetMasterVolume(FMUSIC_MODULE* m, int volume) {
  gFake.moduleVolume[ModuleNumber(m)] = volume;
  return 1;
}
signed char ModulePlaying(FMUSIC_MODULE* m) { return gFake.modulePlaying[ModuleNumber(m)] ? 1 : 0; }

template <typename F>
FARPROC E(F* f) {
  return reinterpret_cast<FARPROC>(f);
}

void RegisterFakeFmod() {
  ModuleTable::Register("fmod.dll", {{"_FSOUND_SetBufferSize@4", E(&Ok1)},
                                     {"_FSOUND_SetHWND@4", E(&OkPtr)},
                                     {"_FSOUND_Init@12", E(&Init)},
                                     {"_FSOUND_Close@0", E(&Close)},
                                     {"_FSOUND_Sample_Load@16", E(&SampleLoad)},
                                     {"_FSOUND_Sample_Alloc@28", E(&SampleAlloc)},
                                     {"_FSOUND_Sample_Free@4", E(&SampleFree)},
                                     {"_FSOUND_Sample_Lock@28", E(&SampleLock)},
                                     {"_FSOUND_Sample_Unlock@20", E(&SampleUnlock)},
                                     {"_FSOUND_Sample_SetLoopPoints@12", E(&SetLoopPoints)},
                                     {"_FSOUND_Sample_GetLength@4", E(&GetLength)},
                                     {"_FSOUND_Sample_GetDefaults@20", E(&GetDefaults)},
                                     {"_FSOUND_Sample_GetMode@4", E(&GetMode)},
                                     {"_FSOUND_PlaySound@8", E(&PlaySound)},
                                     {"_FSOUND_StopSound@4", E(&StopSound)},
                                     {"_FSOUND_SetVolume@8", E(&SetVolume)},
                                     {"_FSOUND_SetPaused@8", E(&SetPaused)},
                                     {"_FSOUND_SetLoopMode@8", E(&SetLoopMode)},
                                     {"_FSOUND_IsPlaying@4", E(&IsPlaying)},
                                     {"_FSOUND_Stream_OpenFile@12", E(&StreamOpen)},
                                     {"_FSOUND_Stream_Close@4", E(&StreamClose)},
                                     {"_FSOUND_Stream_Play@8", E(&StreamPlay)},
                                     {"_FMUSIC_LoadSong@4", E(&LoadSong)},
                                     {"_FMUSIC_PlaySong@4", E(&PlaySong)},
                                     {"_FMUSIC_StopSong@4", E(&StopSong)},
                                     {"_FMUSIC_SetLooping@8", E(&SetLooping)},
                                     {"_FMUSIC_SetOrder@8", E(&SetOrder)},
                                     {"_FMUSIC_SetPaused@8", E(&SetModulePaused)},
                                     {"_FMUSIC_SetMasterVolume@8", E(&SetMasterVolume)},
                                     {"_FMUSIC_IsPlaying@4", E(&ModulePlaying)}});
}

TEST(MusicInterfaces, BaseAndStubPlayNothing) {
  MusicInterface inert;
  EXPECT_FALSE(inert.LoadMusic(1, "song"));
  EXPECT_FALSE(inert.LoadSample(1, "song", true));
  EXPECT_FALSE(inert.IsPlaying(1));
  BassMusicInterface stub(nullptr);
  EXPECT_TRUE(stub.LoadMusic(1, "song"));
  stub.PlayMusic(1, 0, false);
  stub.FadeIn(1, 0, 0.1, false);
  stub.Update();
  EXPECT_FALSE(stub.IsPlaying(1));
}

// Songs that never loaded are ignored; a missing library or entry has its own death test.
TEST(MusicInterfaces, FmodWithoutLoadedSongsPlaysNothing) {
  ModuleTable::ShowAll();
  FModMusicInterface music(nullptr);
  EXPECT_FALSE(music.LoadMusic(1, "song.xm"));
  EXPECT_FALSE(music.LoadSample(2, "song", false));
  music.PlayMusic(1, 0, false);
  music.Update();
  EXPECT_FALSE(music.IsPlaying(1));
}

class FmodMusic : public SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    gFake = FakeFmod{};
    RegisterFakeFmod();
    ModuleTable::Hide("fmod.dll", false);
  }
  void TearDown() override {
    ModuleTable::Hide("fmod.dll");
    SoundFixture::TearDown();
  }
};

TEST_F(FmodMusic, PlaysModulesAtCapAndScalesByMasterVolume) {
  FModMusicInterface music(nullptr);
  EXPECT_FALSE(music.LoadMusic(1, "missing.xm"));
  ASSERT_TRUE(music.LoadMusic(1, "song.xm"));
  music.PlayMusic(1, 3, false);
  EXPECT_TRUE(music.IsPlaying(1));
  EXPECT_EQ(gFake.moduleVolume[7], 100);
  EXPECT_EQ(gFake.looping[7], 2);
  EXPECT_EQ(gFake.lastOrder, 3);
  music.SetVolume(0.5);
  EXPECT_EQ(gFake.moduleVolume[7], 50);
  music.SetSongVolume(1, 0.5);
  EXPECT_EQ(gFake.moduleVolume[7], 25);
  music.StopAllMusic();
  EXPECT_FALSE(music.IsPlaying(1));
  EXPECT_FALSE(music.IsPlaying(9)) << "unknown ids are ignored";
}

TEST_F(FmodMusic, FadesOutOverUpdatesAndPlayCancelsTheFade) {
  FModMusicInterface music(nullptr);
  ASSERT_TRUE(music.LoadMusic(1, "song.xm"));
  music.PlayMusic(1, 0, true);
  EXPECT_EQ(gFake.looping[7], 1);
  music.FadeOut(1, true, 0.01);
  for (int i = 0; i < 99; ++i) music.Update();
  EXPECT_TRUE(music.IsPlaying(1));
  music.Update();
  EXPECT_FALSE(music.IsPlaying(1)) << "stopped on the 100th update";
  EXPECT_EQ(gFake.moduleVolume[7], 0);

  music.PlayMusic(1, 0, false);
  music.FadeOut(1, true, 0.25);
  music.Update();
  music.PlayMusic(1, 0, false);
  music.Update();
  EXPECT_EQ(gFake.moduleVolume[7], 100) << "back at the cap, fade cancelled";

  music.StopMusic(1);
  music.FadeIn(1, -1, 0.5, false);
  EXPECT_EQ(gFake.lastOrder, 0) << "offset -1 keeps the order";
  music.Update();
  EXPECT_EQ(gFake.moduleVolume[7], 50);
  music.Update();
  music.Update();
  EXPECT_EQ(gFake.moduleVolume[7], 100) << "a fade-in stops at the cap";
}

TEST_F(FmodMusic, SamplesComeFromTheCacheFolderFirst) {
  FModMusicInterface music(nullptr);
  EXPECT_FALSE(music.LoadSample(4, "music/theme", true));
  EXPECT_EQ(gFake.lastLoad, "music/theme.ogg") << "after the cache file was tried";
  EXPECT_TRUE(std::filesystem::is_directory(scratch_.Path() + "/data/cached"));
}

}  // namespace
}  // namespace Velk
