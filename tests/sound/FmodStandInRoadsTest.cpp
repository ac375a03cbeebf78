// The FMOD roads of the music interface and the sound manager over the platform's stand-in library.

#include "sound/DSoundManager.h"
#include "sound/FModMusicInterface.h"

#include "SoundTestSupport.h"
#include "platform/audio/Mp3File.h"
#include "platform/audio/WaveFile.h"
#include "platform/fmod/FModExports.h"
#include "platform/fmod/TestModule.h"
#include "platform/msgbox/MessageBox.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace Velk {
namespace {

namespace fs = std::filesystem;

double Rms(const std::vector<int16_t>& samples) {
  double sum = 0;
  for (int16_t s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

std::vector<int16_t> LeftOf(const std::vector<int16_t>& stereo) {
  std::vector<int16_t> left;
  for (size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
  return left;
}

std::vector<int16_t> Samples(const PcmSound& sound) {
  std::vector<int16_t> out;
  for (size_t i = 0; i + 1 < sound.data.size(); i += 2) {
    out.push_back(static_cast<int16_t>(sound.data[i] | (sound.data[i + 1] << 8)));
  }
  return out;
}

class FmodStandInRoads : public SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    ModuleTable::Register("fmod.dll", FModExports());  // the real entries, whatever a test put there
    ModuleTable::ShowAll();
  }
  void TearDown() override {
    FSOUND_Close();
    SoundFixture::TearDown();
  }

  static double Level(size_t frames) { return Rms(Render(frames)); }
};

TEST_F(FmodStandInRoads, AModuleSongFadesPausesLoopsAndFallsSilentThroughTheMusicInterface) {
  WriteBytes("song.mod", TestModuleBytes());
  FModMusicInterface music(nullptr);
  EXPECT_FALSE(music.LoadMusic(2, "missing.mod"));
  ASSERT_TRUE(music.LoadMusic(1, "song.mod"));
  EXPECT_FALSE(music.IsPlaying(1));

  music.FadeIn(1, 0, 0.25, false);
  EXPECT_TRUE(music.IsPlaying(1));
  EXPECT_EQ(Level(2205), 0.0) << "a song never played fades in from silence";
  std::vector<double> levels;
  for (int step = 1; step <= 4; ++step) {
    music.Update();
    levels.push_back(Level(2205));
  }
  ASSERT_GT(levels[0], 50.0);
  for (int step = 2; step <= 4; ++step) EXPECT_NEAR(levels[step - 1] / levels[0], step, 0.2 * step);

  music.FadeOut(1, true, 0.5);
  music.Update();
  EXPECT_NEAR(Level(2205) / levels[3], 0.5, 0.1);
  music.Update();
  EXPECT_EQ(Level(2205), 0.0) << "faded to 0";
  music.Update();
  EXPECT_FALSE(music.IsPlaying(1)) << "stopped once the fade goes below 0";

  music.PlayMusic(1, 0, false);
  EXPECT_NEAR(Level(2205) / levels[3], 1.0, 0.2);
  music.PauseMusic(1);
  EXPECT_EQ(Level(2205), 0.0);
  EXPECT_TRUE(music.IsPlaying(1));
  music.ResumeMusic(1);
  EXPECT_GT(Level(2205), 50.0);
  music.SetSongVolume(1, 0.0);
  EXPECT_EQ(Level(2205), 0.0) << "volume 0 is silence on the output";
  music.SetSongVolume(1, 1.0);
  Render(static_cast<size_t>(3 * kTestModuleOrderSeconds * AudioMixer::kOutputRate));
  EXPECT_TRUE(music.IsPlaying(1)) << "loops at the end of its orders";
  EXPECT_GT(Level(2205), 50.0);

  music.PlayMusic(1, 1, true);
  Render(static_cast<size_t>((kTestModuleOrderSeconds + kTestModuleTailSeconds) * AudioMixer::kOutputRate));
  EXPECT_FALSE(music.IsPlaying(1)) << "without looping it ends after its last order";
  music.StopAllMusic();
}

TEST_F(FmodStandInRoads, ALoopedSampleWithAnIntroPlaysTheIntroOnceThenLoopsTheLoopPart) {
  fs::create_directories(scratch_.Path() + "/data/cached");
  WriteBytes(scratch_.Path() + "/data/cached/intro.wav", WavBytes(Samples16(std::vector<int16_t>(300, 8000)), 1, 16));
  WriteBytes(scratch_.Path() + "/data/cached/tail.wav", WavBytes(Samples16(std::vector<int16_t>(200, -8000)), 1, 16));
  FModMusicInterface music(nullptr);
  EXPECT_FALSE(music.LoadSampleWithLoop(2, "music/intro", "music/none", true));
  ASSERT_TRUE(music.LoadSampleWithLoop(2, "music/intro", "music/tail", true));
  ASSERT_TRUE(music.LoadSampleWithLoop(3, "music/intro", "music/tail", false));

  music.PlayMusic(2, 0, false);
  const std::vector<int16_t> left = LeftOf(Render(1000));
  for (size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(left[i] > 0, i < 300) << "frame " << i;
    ASSERT_NE(left[i], 0) << "frame " << i;
  }
  EXPECT_TRUE(music.IsPlaying(2));
  music.StopMusic(2);

  music.PlayMusic(3, 0, false);
  Render(499);
  EXPECT_TRUE(music.IsPlaying(3));
  Render(2);
  EXPECT_FALSE(music.IsPlaying(3)) << "without its loop flag it ends after intro and loop part";
}

// An MP3 made here from a known tone: decoded by the library, cached with its "dep " and "xor "
// chunks, and the cached samples are the decoded ones.
TEST_F(FmodStandInRoads, AnMp3ToneDecodesThroughTheSoundManagerAndLandsInTheCache) {
  if (!fs::exists("/usr/bin/lame")) GTEST_SKIP() << "lame is not installed";
  constexpr double kHz = 1000.0;
  constexpr double kAmplitude = 12000.0;
  std::vector<int16_t> tone(44100);
  for (size_t i = 0; i < tone.size(); ++i) {
    tone[i] = static_cast<int16_t>(kAmplitude * std::sin(2 * M_PI * kHz * static_cast<double>(i) / 44100.0));
  }
  WriteBytes("source.wav", WavBytes(Samples16(tone), 1, 16));
  fs::create_directories("snd");
  ASSERT_EQ(std::system("/usr/bin/lame --quiet -m m -b 128 source.wav snd/tone.mp3"), 0);
  fs::remove("source.wav");

  DSoundManager manager(Window(), true);
  const int id = manager.LoadSound("snd/tone");
  ASSERT_GE(id, 0);

  const auto mp3 = ReadBytes("snd/tone.mp3");
  const auto decoded = Mp3File::Read(mp3.data(), mp3.size());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->channels, 1);
  EXPECT_EQ(decoded->rate, 44100u);
  const std::vector<int16_t> samples = Samples(*decoded);
  ASSERT_GT(samples.size(), 40000u);
  const std::vector<int16_t> middle(samples.begin() + 11025, samples.begin() + 33075);
  int rising = 0;
  for (size_t i = 1; i < middle.size(); ++i) rising += middle[i - 1] < 0 && middle[i] >= 0;
  EXPECT_NEAR(rising, kHz / 2, 5) << "a 1000 Hz tone over half a second";
  EXPECT_NEAR(Rms(middle), kAmplitude / std::sqrt(2.0), kAmplitude * 0.05);

  const auto cache = ReadBytes(scratch_.Path() + "/data/cached/snd/tone.wav");
  const std::string name = "snd/tone.mp3";
  ASSERT_GT(cache.size(), 71 + name.size());
  EXPECT_EQ(std::string(cache.begin() + 36, cache.begin() + 40), "dep ");
  EXPECT_EQ(std::string(cache.begin() + 46, cache.begin() + 46 + name.size()), name);
  EXPECT_EQ(std::string(cache.begin() + 54 + name.size(), cache.begin() + 58 + name.size()), "xor ");
  MemorySoundSource source(cache.data(), cache.size());
  const auto cached = WaveFile::Read(source, [](const std::string&, uint64_t) { return true; });
  ASSERT_TRUE(cached);
  EXPECT_EQ(cached->data, decoded->data) << "the cached samples are the decoded ones";
}

// Whoever asks for the library cannot do without it: a missing library or entry ends the program
// with the box the user reads.
TEST(FmodLibraryDeathTest, AMissingLibraryOrEntryIsToldAndEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ModuleTable::Hide("fmod.dll");
  EXPECT_EXIT({ FModMusicInterface music(nullptr); }, ::testing::ExitedWithCode(0), "Can't find fmod.dll.");
  ModuleTable::ShowAll();
  ModuleTable::HideEntry("fmod.dll", "_FMUSIC_IsPlaying@4");
  EXPECT_EXIT(FMOD_INSTANCE::Acquire(), ::testing::ExitedWithCode(0),
              "\"_FMUSIC_IsPlaying@4\" function not found in fmod.dll");
  ModuleTable::ShowAll();
}

}  // namespace
}  // namespace Velk
