// The archives the build packed next to the program: the framework's start-up group loads from
// them, every staged file reads back unchanged through the archive layer, and every sound and
// music file plays through the mixer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "fonts/ImageFont.h"
#include "fonts/SysFont.h"
#include "graphics/TestHost.h"
#include "resources/PakInterface.h"
#include "resources/PakPacker.h"
#include "resources/ResourceManager.h"
#include "resources/ResourceManagerTestSupport.h"
#include "sound/DSoundManager.h"
#include "sound/SoundInstance.h"
#include "sound/SoundTestSupport.h"
#include "tools/DiskFontHost.h"

namespace Velk {
namespace {

namespace fs = std::filesystem;

const std::string kRuntime = PELUNE_RUNTIME_DIR;
const fs::path kStage = fs::path(TEST_BINARY_DIR) / "content" / "stage";

// The test application with the real sound manager in place of the mock.
class ArchiveHost : public ResourceManagerTest::TestHost {
 public:
  SoundManager* mReal = nullptr;
  SoundManager* GetSoundManager() override { return mReal; }
};

class BuiltArchivesTest : public SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    MemoryImageHost::SetDefault(&mImageHost);
    FontHost::SetDefault(&mFonts);
    ASSERT_TRUE(mPak.MountArchive(kRuntime + "/loc.pak"));
    ASSERT_TRUE(mPak.MountArchive(kRuntime + "/data.pak"));
    mSounds = std::make_unique<DSoundManager>(Window(), false);  // after the fixture loaded the device
    ASSERT_TRUE(mSounds->IsInitialized());
    mHost.mReal = mSounds.get();
    mManager = std::make_unique<ResourceManager>(&mHost);
  }
  void TearDown() override {
    mManager.reset();  // releases its sounds through the sound manager
    mSounds.reset();
    FontHost::SetDefault(nullptr);
    MemoryImageHost::SetDefault(nullptr);
    SoundFixture::TearDown();
  }

  Testing::TestHost mImageHost;
  Content::DiskFontHost mFonts;
  PakInterface mPak;
  std::unique_ptr<DSoundManager> mSounds;
  ArchiveHost mHost;
  std::unique_ptr<ResourceManager> mManager;
};

TEST_F(BuiltArchivesTest, InitGroupGivesFourFontsAndTheGround) {
  ASSERT_TRUE(mManager->ParseResourcesFile("properties\\resources.xml")) << mManager->GetErrorText();
  ASSERT_TRUE(mManager->LoadResources("Init")) << mManager->GetErrorText();
  EXPECT_TRUE(mFonts.mPopups.empty());

  auto* arial10 = dynamic_cast<ImageFont*>(mManager->GetFontOrThrow("FONT_ARIAL10"));
  auto* shadowed = dynamic_cast<ImageFont*>(mManager->GetFontOrThrow("FONT_DEFAULT"));
  ASSERT_TRUE(arial10 && shadowed);
  EXPECT_TRUE(shadowed->HasTag("SHADOW"));
  arial10->Prepare();
  shadowed->Prepare();
  EXPECT_EQ(arial10->mActiveLayerList.size(), 1u);
  EXPECT_EQ(shadowed->mActiveLayerList.size(), 2u);
  EXPECT_GT(arial10->StringWidth(L"Pelune"), 20);
  EXPECT_NE(dynamic_cast<SysFont*>(mManager->GetFontOrThrow("FONT_ARIAL8")), nullptr);
  EXPECT_NE(dynamic_cast<SysFont*>(mManager->GetFontOrThrow("FONT_ARIAL6")), nullptr);

  MemoryImage* ground = mManager->GetImageOrThrow("GFX_GAME_GROUND").GetImage();
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->mWidth, 128);
  EXPECT_EQ(ground->mHeight, 128);
}

TEST_F(BuiltArchivesTest, ExtraGroupLoadsEverySoundKindAndTheCelStrip) {
  ASSERT_TRUE(mManager->ParseResourcesFile("properties\\resources.xml")) << mManager->GetErrorText();
  ASSERT_TRUE(mManager->LoadResources("Extra")) << mManager->GetErrorText();
  for (const char* id : {"SND_BEEP", "SND_CHIME", "SND_TICK"})
    EXPECT_NE(mSounds->GetSoundInstance(mManager->GetSoundOrThrow(id)), nullptr) << id;
  EXPECT_NE(mManager->GetImageOrThrow("IMG_ground").GetImage(), nullptr);
  MemoryImage* strip = mManager->GetImageOrThrow("IMG_STRIP").GetImage();  // the prefix applies to given ids too
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->mNumCols, 4);
  EXPECT_EQ(strip->mWidth, 64);
}

TEST_F(BuiltArchivesTest, EveryStagedFileReadsBackUnchanged) {
  std::set<std::string> seen;
  for (const char* tree : {"loc", "data"})
    for (const auto& entry : fs::recursive_directory_iterator(kStage / tree)) {
      if (!entry.is_regular_file()) continue;
      std::string name = fs::relative(entry.path(), kStage / tree).generic_string();
      for (char& c : name) c = c == '/' ? '\\' : c;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const auto it = mPak.GetDirectory().find(PakInterface::MemberKey(name));
      ASSERT_NE(it, mPak.GetDirectory().end()) << name;
      EXPECT_EQ(it->second.name, name);
      ASSERT_EQ(static_cast<size_t>(it->second.size), expected.size()) << name;
      PakFile* file = mPak.Open(name.c_str(), "rb");
      ASSERT_NE(file, nullptr) << name;
      std::string got(expected.size(), '\0');
      EXPECT_EQ(mPak.Read(got.data(), 1, got.size(), file), got.size());
      mPak.Close(file);
      EXPECT_TRUE(got == expected) << name;
      seen.insert(it->first);
    }
  // The directory also names the mounted archives themselves.
  for (const char* archive : {"/loc.pak", "/data.pak"}) seen.insert(PakInterface::FoldName(kRuntime + archive));
  for (const auto& [key, entry] : mPak.GetDirectory()) EXPECT_TRUE(seen.count(key)) << key << " is not staged";
}

TEST_F(BuiltArchivesTest, LocArchiveHoldsTheTextsAndFontsAndDataArchiveTheRest) {
  for (const char* archive : {"loc.pak", "data.pak"}) {
    std::ostringstream listing;
    std::string error;
    ASSERT_TRUE(PakPacker::List(kRuntime + "/" + archive, listing, error)) << error;
    std::istringstream lines(listing.str());
    int members = 0;
    for (std::string line; std::getline(lines, line); ++members) {
      const std::string name = line.substr(line.find("  ") + 2);
      const bool loc = name == "cfg\\loc.xml" || name.rfind("fonts\\", 0) == 0;
      EXPECT_EQ(loc, archive == std::string("loc.pak")) << archive << ": " << name;
    }
    EXPECT_GT(members, 0) << archive;
  }
}

TEST_F(BuiltArchivesTest, EverySoundAndMusicFilePlays) {
  int played = 0;
  for (const auto& [key, entry] : mPak.GetDirectory()) {
    if (key.rfind("SOUNDS\\", 0) != 0 && key.rfind("MUSIC\\", 0) != 0) continue;
    const int id = mSounds->LoadSound(entry.name.substr(0, entry.name.rfind('.')));  // found by extension
    ASSERT_GE(id, 0) << entry.name;
    SoundInstance* instance = mSounds->GetSoundInstance(id);
    ASSERT_NE(instance, nullptr) << entry.name;
    EXPECT_TRUE(instance->Play(false, false)) << entry.name;
    Render(256);
    EXPECT_TRUE(instance->IsPlaying()) << entry.name;
    instance->Release();  // frees the channel for the next file
    ++played;
  }
  EXPECT_EQ(played, 36 + 3 + 4);
}

}  // namespace
}  // namespace Velk
