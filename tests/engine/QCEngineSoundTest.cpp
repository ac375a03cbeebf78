// The game's sound as a player meets it: the engine starts the library, its loading thread reads the
// sound and music tables, the main loop steps the music fades, and losing the focus silences it all.
// The mixer is run by hand, so the mixed output is read exactly.

#include "engine/EngineTestSupport.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundSystem.h"
#include "engine/QCSoundTable.h"
#include "platform/audio/AudioOutput.h"
#include "platform/squall/SquallMemoryFiles.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

namespace mf = Velk::SquallMemoryFiles;

constexpr int kLevel = 30000;

std::string Text(const mf::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Flat(int16_t level) { return Text(mf::Wave(mf::Samples16(std::vector<int16_t>(4410, level)))); }

std::vector<int16_t> MixLeft(size_t frames) {
  std::vector<int16_t> out(2 * frames);
  Velk::AudioOutput::Mixer().Mix(out.data(), frames);
  std::vector<int16_t> left(frames);
  for (size_t i = 0; i < frames; ++i) left[i] = out[2 * i];
  return left;
}

bool Silent(const std::vector<int16_t>& block) {
  return std::all_of(block.begin(), block.end(), [](int16_t v) { return v == 0; });
}

class EngineSoundTest : public EngineTest {
 protected:
  EngineSoundTest() { Velk::AudioOutput::SetManualMixing(true); }
  ~EngineSoundTest() override {
    engine_.reset();
    Velk::AudioOutput::SetManualMixing(false);
  }

  void WriteSoundData() {
    WriteStartUpData();
    WriteData("cfg/cfg.xml", R"(<root>
      <music><stream name="menu" path="mus\menu.ogg"/><stream name="game" path="mus\game.wav"/></music>
      <sounds>
        <sound name="click" group="ui" path="snd\click.wav"/>
        <sound name="goal" group="ui" path="snd\goal.wav"/>
        <sound name="steps" group="game" path="snd\steps.wav" loop="true"/>
      </sounds></root>)");
    for (const char* name : {"snd/click.wav", "snd/goal.wav", "snd/steps.wav"}) scratch_.Write(name, Flat(1000));
    scratch_.Write("mus/game.wav", Flat(kLevel));
    std::ifstream ogg(TEST_DATA_DIR "/sound/tone.ogg", std::ios::binary);
    scratch_.Write("mus/menu.ogg", std::string(std::istreambuf_iterator<char>(ogg), {}));
  }

  // One main-loop step a fade-out period after the last: every fade worker steps once.
  void FadeStep() {
    Velk::Clock::Advance(100);
    Steps(1);
  }
};

TEST_F(EngineSoundTest, MusicCrossFadesInTheMainLoopAndFocusLossSilencesIt) {
  WriteSoundData();
  TestEngine& engine = StartEngine();
  ASSERT_TRUE(IsSoundPresent());
  engine.StartLoadingThread();
  engine.WaitForLoader();
  engine.ResetTiming(false);
  Velk::HeadlessBackend* headless = static_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get());
  headless->InjectFocus(engine.mHWnd, true);
  Steps(4);
  for (const char* name : {"click", "goal", "steps"}) EXPECT_GT(FindSoundEntry(name)->sample, 0u) << name;
  EXPECT_EQ(FindSoundEntry("goal")->group, FindSoundEntry("click")->group);
  QCMusicManager* music = engine.GetMusicManager();
  ASSERT_NE(music->Find("menu"), nullptr);

  SetMusicVolume(60);
  music->Play("game");
  for (int step = 1; step <= 20; ++step) {
    FadeStep();
    EXPECT_NEAR(MixLeft(1)[0], kLevel * 3 * step / 100, 1) << "fade-in step " << step;
  }

  // While "menu" fades in, it is held paused so that the mix is the fading-out "game" alone.
  music->Play("menu");
  QCMusicManager::PauseStream(music->Find("menu"));
  const int fadeOut[] = {57, 54, 51, 48, 45, 42, 39, 36, 33, 30, 26, 23, 20, 17, 14, 11, 8, 5, 2, 0};
  for (int step = 0; step < 20; ++step) {
    FadeStep();
    EXPECT_NEAR(MixLeft(1)[0], kLevel * fadeOut[step] / 100, 1) << "fade-out step " << step + 1;
  }
  EXPECT_EQ(music->Find("game")->sample, 0u) << "unloaded at the end of its fade-out";

  QCMusicManager::ResumeStream(music->Find("menu"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (Silent(MixLeft(100)) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_FALSE(Silent(MixLeft(100))) << "the Ogg stream decoded and plays";

  headless->InjectFocus(engine.mHWnd, false);
  Steps(4);  // the window's messages are read and replayed on alternate steps
  ASSERT_FALSE(engine.mHasFocus);
  PlaySoundByName("click");
  EXPECT_TRUE(Silent(MixLeft(200)));
  headless->InjectFocus(engine.mHWnd, true);
  Steps(4);
  EXPECT_FALSE(Silent(MixLeft(200)));

  engine_.reset();
  EXPECT_FALSE(IsSoundPresent()) << "the engine's end stops the library";
}

}  // namespace
