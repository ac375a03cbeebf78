#include "platform/fmod/FMod.h"

#include "platform/ScratchFolder.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/Mp3File.h"
#include "platform/fmod/FModFile.h"
#include "platform/fmod/ModuleSong.h"
#include "platform/fmod/TestModule.h"
#include "platform/squall/SquallMemoryFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace Velk {
namespace {

using Bytes = std::vector<uint8_t>;
using SquallMemoryFiles::Samples16;

// Mixing by hand stands for the null sink: what the device would have played.
class FModStandIn : public ::testing::Test {
 protected:
  void SetUp() override { AudioOutput::SetManualMixing(true); }
  void TearDown() override {
    FSOUND_Close();
    AudioOutput::SetManualMixing(false);
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = scratch_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static std::vector<int16_t> Mix(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    AudioOutput::Mixer().Mix(out.data(), frames);
    return out;
  }

  static double Level(size_t frames) {
    double sum = 0;
    for (int16_t s : Mix(frames)) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(frames * 2));
  }

  // Left channel only.
  static std::vector<int16_t> Left(size_t frames) {
    std::vector<int16_t> both = Mix(frames);
    std::vector<int16_t> left;
    for (size_t i = 0; i < both.size(); i += 2) left.push_back(both[i]);
    return left;
  }

  ScratchFolder scratch_;
};

TEST_F(FModStandIn, RendersAModuleAndKnowsWhereEachOrderStarts) {
  const Bytes bytes = TestModuleBytes();
  auto song = ModuleSong::Render(bytes.data(), bytes.size());
  ASSERT_TRUE(song);
  const double seconds = static_cast<double>(song->Pcm()->Frames()) / ModuleSong::kRate;
  // The reader lets the last row ring out a little past the end of the last order.
  EXPECT_GE(seconds, kTestModuleOrders * kTestModuleOrderSeconds - 0.01);
  EXPECT_LE(seconds, kTestModuleOrders * kTestModuleOrderSeconds + kTestModuleTailSeconds);
  EXPECT_EQ(song->OrderStart(0), size_t{0});
  ASSERT_TRUE(song->OrderStart(1));
  EXPECT_NEAR(static_cast<double>(*song->OrderStart(1)) / ModuleSong::kRate, kTestModuleOrderSeconds, 0.01);
  EXPECT_FALSE(song->OrderStart(2));
  EXPECT_FALSE(song->OrderStart(-1));
}

TEST_F(FModStandIn, RefusesDamagedModules) {
  const Bytes bytes = TestModuleBytes();
  const Bytes junk(2000, 0x5A);
  EXPECT_FALSE(ModuleSong::Render(nullptr, 0));
  EXPECT_FALSE(ModuleSong::Render(junk.data(), junk.size()));
  EXPECT_FALSE(ModuleSong::Render(bytes.data(), 500)) << "cut inside the sample headers";
  EXPECT_FALSE(ModuleSong::Render(bytes.data(), bytes.size(), 0.5)) << "longer than allowed";
  EXPECT_EQ(FMUSIC_LoadSong(Write("junk.mod", junk).c_str()), nullptr);
  EXPECT_EQ(FMUSIC_LoadSong((scratch_ / "missing.mod").c_str()), nullptr);
  EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
  EXPECT_EQ(FMUSIC_PlaySong(nullptr), 0);
  EXPECT_EQ(FMUSIC_IsPlaying(reinterpret_cast<FMUSIC_MODULE*>(&scratch_)), 0) << "not a handle it gave out";
}

TEST_F(FModStandIn, PlaysPausesSilencesLoopsAndStopsAModule) {
  FMUSIC_MODULE* song = FMUSIC_LoadSong(Write("song.mod", TestModuleBytes()).c_str());
  ASSERT_NE(song, nullptr);
  EXPECT_EQ(FMUSIC_IsPlaying(song), 0);
  EXPECT_EQ(Level(4410), 0.0);

  ASSERT_EQ(FMUSIC_PlaySong(song), 1);
  EXPECT_EQ(FMUSIC_IsPlaying(song), 1);
  EXPECT_GT(Level(4410), 500.0);
  FMUSIC_SetMasterVolume(song, 0);
  EXPECT_EQ(Level(4410), 0.0) << "volume 0 is silence";
  FMUSIC_SetMasterVolume(song, 256);
  ASSERT_EQ(FMUSIC_SetPaused(song, 1), 1);
  EXPECT_EQ(Level(4410), 0.0);
  EXPECT_EQ(FMUSIC_IsPlaying(song), 1) << "a paused song still counts as playing";
  FMUSIC_SetPaused(song, 0);
  EXPECT_GT(Level(4410), 500.0);

  // Looping: well past the end of its two orders it still sounds.
  Mix(static_cast<size_t>(2 * kTestModuleOrders * kTestModuleOrderSeconds * ModuleSong::kRate));
  EXPECT_EQ(FMUSIC_IsPlaying(song), 1);
  EXPECT_GT(Level(4410), 500.0);

  // Without looping, from the second order it ends after that order alone.
  FMUSIC_SetLooping(song, FSOUND_LOOP_OFF);
  EXPECT_EQ(FMUSIC_SetOrder(song, kTestModuleOrders), 0) << "no such order";
  ASSERT_EQ(FMUSIC_SetOrder(song, 1), 1);
  Mix(static_cast<size_t>((kTestModuleOrderSeconds - 0.05) * ModuleSong::kRate));
  EXPECT_EQ(FMUSIC_IsPlaying(song), 1);
  Mix(static_cast<size_t>((0.05 + kTestModuleTailSeconds) * ModuleSong::kRate));
  EXPECT_EQ(FMUSIC_IsPlaying(song), 0) << "ended at the end of its orders";

  FMUSIC_SetLooping(song, FSOUND_LOOP_NORMAL);
  FMUSIC_PlaySong(song);
  EXPECT_EQ(FMUSIC_StopSong(song), 1);
  EXPECT_EQ(FMUSIC_IsPlaying(song), 0);
  EXPECT_EQ(Level(4410), 0.0);
}

TEST_F(FModStandIn, AnAllocatedSamplePlaysItsIntroOnceThenLoopsItsLoopPoints) {
  FSOUND_SAMPLE* sample =
      FSOUND_Sample_Alloc(FSOUND_FREE, 6, FSOUND_16BITS | FSOUND_MONO | FSOUND_LOOP_NORMAL, 44100, 255, 128, 0);
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(sample), 6u);
  EXPECT_EQ(FSOUND_Sample_GetMode(sample), FSOUND_16BITS | FSOUND_MONO | FSOUND_LOOP_NORMAL);
  int frequency = 0;
  int volume = 0;
  EXPECT_EQ(FSOUND_Sample_GetDefaults(sample, &frequency, &volume, nullptr, nullptr), 1);
  EXPECT_EQ(frequency, 44100);
  EXPECT_EQ(volume, 255);

  void* part1 = nullptr;
  void* part2 = &part1;
  unsigned int bytes1 = 0;
  unsigned int bytes2 = 7;
  EXPECT_EQ(FSOUND_Sample_Lock(sample, 4, 12, &part1, &part2, &bytes1, &bytes2), 0) << "past the end";
  ASSERT_EQ(FSOUND_Sample_Lock(sample, 0, 12, &part1, &part2, &bytes1, &bytes2), 1);
  EXPECT_EQ(bytes1, 12u);
  EXPECT_EQ(part2, nullptr);
  EXPECT_EQ(bytes2, 0u);
  const Bytes data = Samples16({100, 200, 300, 400, 500, 600});
  std::copy(data.begin(), data.end(), static_cast<uint8_t*>(part1));
  EXPECT_EQ(FSOUND_Sample_Unlock(sample, part1, part2, bytes1, bytes2), 1);
  EXPECT_EQ(FSOUND_Sample_SetLoopPoints(sample, 4, 6), 0) << "the end lies past the last frame";
  ASSERT_EQ(FSOUND_Sample_SetLoopPoints(sample, 2, 4), 1);

  const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
  ASSERT_GE(channel, 0);
  EXPECT_EQ(Left(10), (std::vector<int16_t>{100, 200, 300, 400, 500, 300, 400, 500, 300, 400}));
  FSOUND_SetLoopMode(channel, FSOUND_LOOP_OFF);
  EXPECT_EQ(Left(4), (std::vector<int16_t>{500, 600, 0, 0})) << "without its loop it runs to the end";
  EXPECT_EQ(FSOUND_IsPlaying(channel), 0);

  FSOUND_Sample_Free(sample);
  EXPECT_EQ(FSOUND_Sample_GetLength(sample), 0u) << "a freed sample is no handle any more";
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), -1);
}

TEST_F(FModStandIn, ChannelsTakeTheirVolumePauseAndStop) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Alloc(FSOUND_FREE, 44100, FSOUND_16BITS | FSOUND_MONO, 44100, 255, 128, 0);
  ASSERT_NE(sample, nullptr);
  void* part = nullptr;
  unsigned int bytes = 0;
  ASSERT_EQ(FSOUND_Sample_Lock(sample, 0, 88200, &part, nullptr, &bytes, nullptr), 1);
  const Bytes level = Samples16(std::vector<int16_t>(44100, 1000));
  std::copy(level.begin(), level.end(), static_cast<uint8_t*>(part));
  FSOUND_Sample_Unlock(sample, part, nullptr, bytes, 0);

  EXPECT_EQ(FSOUND_PlaySound(FModState::kChannels, sample), -1);
  ASSERT_EQ(FSOUND_PlaySound(5, sample), 5);
  EXPECT_EQ(Left(2), (std::vector<int16_t>{1000, 1000}));
  FSOUND_SetVolume(5, 0);
  EXPECT_EQ(Left(2), (std::vector<int16_t>{0, 0}));
  FSOUND_SetVolume(5, 255);
  ASSERT_EQ(FSOUND_SetPaused(5, 1), 1);
  EXPECT_EQ(Left(2), (std::vector<int16_t>{0, 0}));
  EXPECT_EQ(FSOUND_IsPlaying(5), 1);
  FSOUND_SetPaused(5, 0);
  EXPECT_EQ(Left(1), (std::vector<int16_t>{1000}));
  EXPECT_EQ(FSOUND_IsPlaying(6), 0);
  EXPECT_EQ(FSOUND_StopSound(5), 1);
  EXPECT_EQ(FSOUND_IsPlaying(5), 0);
  EXPECT_EQ(FSOUND_SetVolume(5, 10), 0);

  ASSERT_EQ(FSOUND_PlaySound(5, sample), 5);
  FSOUND_Sample_Free(sample);
  EXPECT_EQ(FSOUND_IsPlaying(5), 0) << "freeing a sample stops its channels";
}

TEST_F(FModStandIn, LoadsWaveAndOggFilesAndStreamsAndRefusesDamagedSoundFiles) {
  const std::string wave = Write("tone.wav", SquallMemoryFiles::Wave(Samples16({1, 2, 3, 4}), 22050, 2));
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, wave.c_str(), 0, 0);
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetMode(sample), FSOUND_LOOP_OFF | FSOUND_16BITS | FSOUND_STEREO);
  EXPECT_EQ(FSOUND_Sample_GetLength(sample), 2u);
  int frequency = 0;
  FSOUND_Sample_GetDefaults(sample, &frequency, nullptr, nullptr, nullptr);
  EXPECT_EQ(frequency, 22050);
  FSOUND_SAMPLE* ogg = FSOUND_Sample_Load(FSOUND_FREE, TEST_DATA_DIR "/sound/tone.ogg", 0, 0);
  ASSERT_NE(ogg, nullptr);
  EXPECT_GT(FSOUND_Sample_GetLength(ogg), 0u);

  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(TEST_DATA_DIR "/sound/tone.ogg", 0, 0);
  ASSERT_NE(stream, nullptr);
  const int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(channel, 0);
  EXPECT_EQ(FSOUND_IsPlaying(channel), 1);
  EXPECT_EQ(FSOUND_Stream_Close(stream), 1);
  EXPECT_EQ(FSOUND_IsPlaying(channel), 0);
  EXPECT_EQ(FSOUND_Stream_Close(stream), 0);

  const Bytes header = {0xFF, 0xFB, 0x90, 0x00};
  const Bytes text(3000, 'x');
  EXPECT_FALSE(Mp3File::Read(header.data(), header.size())) << "a frame header without its frame";
  EXPECT_FALSE(Mp3File::Read(text.data(), text.size()));
  EXPECT_FALSE(Mp3File::Read(text.data(), 0));
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("bad.mp3", text).c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("empty.wav", {}).c_str(), 0, 0), nullptr);
  Bytes cut = SquallMemoryFiles::Wave(Samples16({1, 2, 3, 4}));
  cut.resize(cut.size() - 3);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("cut.wav", cut).c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_OpenFile((scratch_ / "missing.ogg").c_str(), 0, 0), nullptr);
}

// Inputs kept from fuzzing: the seeds read, and whatever else is kept is refused or read sanely.
TEST(FModFuzzInputs, ReplayKeptModuleAndMp3Inputs) {
  const std::string folder = TEST_DATA_DIR "/sound/";
  for (const auto& entry : std::filesystem::directory_iterator(folder + "modfuzz")) {
    const auto bytes = FModFile::ReadBytes(entry.path().c_str());
    ASSERT_TRUE(bytes);
    const auto song = ModuleSong::Render(bytes->data(), bytes->size(), 10.0);
    if (entry.path().filename() == "square.mod") EXPECT_TRUE(song);
    // A song that plays on past its stated length is cut at the limit.
    if (song) EXPECT_LE(song->Pcm()->Frames(), 10u * ModuleSong::kRate) << entry.path();
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder + "mp3fuzz")) {
    const auto bytes = FModFile::ReadBytes(entry.path().c_str());
    ASSERT_TRUE(bytes);
    const auto sound = Mp3File::Read(bytes->data(), bytes->size());
    if (entry.path().filename() == "tone.mp3") {
      ASSERT_TRUE(sound);
      EXPECT_EQ(sound->rate, 22050u);
      EXPECT_EQ(sound->channels, 1);
    }
  }
}

}  // namespace
}  // namespace Velk
