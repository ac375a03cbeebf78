// The game's sound over the real library (mixed by hand): files come out of a mounted archive through
// the game's file callbacks.

#include "engine/QCSoundSystem.h"

#include "engine/QCSoundTable.h"
#include "engine/SoundTestSupport.h"
#include "platform/audio/AudioOutput.h"
#include "platform/squall/SquallMemoryFiles.h"
#include "resources/PakInterface.h"
#include "platform/ScratchFolder.h"
#include "resources/PlainPak.h"

#include <gtest/gtest.h>

namespace {

namespace mf = Velk::SquallMemoryFiles;

constexpr int16_t kLevel = 12000;

std::string Text(const mf::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

int MixLeft() {
  int16_t out[2];
  Velk::AudioOutput::Mixer().Mix(out, 1);
  return out[0];
}

TEST(QCSoundSystem, SoundsPlayFromInsideAMountedArchive) {
  ScratchFolder folder;
  const std::string wave = Text(mf::Wave(mf::Samples16(std::vector<int16_t>(500, kLevel))));
  const std::string cfg = Utf16File(R"(<root><sounds>
      <sound name="bell" group="ui" path="snd\bell.wav"/>
      <sound name="gone" group="ui" path="snd\gone.wav"/></sounds></root>)");
  PlainPak()
      .Header()
      .Record("snd\\bell.wav", static_cast<uint32_t>(wave.size()))
      .Record("cfg\\cfg.xml", static_cast<uint32_t>(cfg.size()))
      .End()
      .Text(wave)
      .Text(cfg)
      .WriteTo(folder / "data.pak");
  PakInterface pak;
  ASSERT_TRUE(pak.MountArchive(folder / "data.pak"));

  Velk::AudioOutput::SetManualMixing(true);
  ResetSoundState();
  {
    QCSoundSystem guard;
    StartSoundSystem(0);
    ASSERT_TRUE(IsSoundPresent());
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\cfg.xml");
    ASSERT_NE(doc, nullptr);
    IXMLDOMNode* root = nullptr;
    doc->selectSingleNode(L"root", &root);
    LoadSoundTable(root);
    root->Release();
    doc->Release();

    EXPECT_GT(FindSoundEntry("bell")->sample, 0u);
    EXPECT_EQ(FindSoundEntry("gone")->sample, 0u) << "a missing file leaves the sound silent";
    PlaySoundByName("bell");
    PlaySoundByName("gone");
    EXPECT_EQ(MixLeft(), kLevel);
    PauseAllSound(true);
    EXPECT_EQ(MixLeft(), 0);
    PauseAllSound(false);
    EXPECT_EQ(MixLeft(), kLevel);
    ClearSoundTable();
    EXPECT_EQ(MixLeft(), 0);
  }
  EXPECT_FALSE(IsSoundPresent());
  Velk::AudioOutput::SetManualMixing(false);
}

}  // namespace
