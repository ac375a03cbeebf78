// The settings screen: live volumes and mute, cancel puts back, apply switches the mode and saves.
#include "ScreenFixture.h"
#include "screens/QCBoard_Options.h"
#include "ui/QCButton.h"
#include "ui/QCCheckBox.h"
#include "ui/QCSlider.h"

namespace {

constexpr int kMusicGroup = -1;

class OptionsTest : public ScreenTest {
 protected:
  OptionsTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
    Options().Show();
    TakeVolumes();
  }
  QCBoard_Options& Options() { return *Game().mOptions; }
  QCPrefHeader& Settings() { return Game().mPref.mHeader; }
  // The volumes given to the music group since the last call.
  std::vector<int> MusicVolumes() {
    std::vector<int> music;
    for (const auto& [group, volume] : TakeVolumes()) {
      if (group == kMusicGroup) music.push_back(volume);
    }
    return music;
  }
  std::vector<int> SoundVolumes() {
    std::vector<int> sound;
    for (const auto& [group, volume] : TakeVolumes()) {
      if (group != kMusicGroup) sound.push_back(volume);
    }
    return sound;
  }
  // The settings as pref.dat holds them.
  QCPrefHeader Stored() {
    QCPref reread;
    reread.Load();
    return reread.mHeader;
  }
};

TEST_F(OptionsTest, CancelPutsTheVolumeBack) {
  ASSERT_EQ(Settings().mMusicVolume, 60);
  EXPECT_EQ(Options().mMusvolSlider->GetMax(), 100);
  Options().mMusvolSlider->SetValue(30);
  Update();
  EXPECT_EQ(MusicVolumes(), std::vector<int>{30}) << "the music follows the slider at once";
  EXPECT_EQ(Settings().mMusicVolume, 30);
  Release(Options().mCancel);
  EXPECT_EQ(MusicVolumes(), std::vector<int>{60});
  EXPECT_EQ(Settings().mMusicVolume, 60);
  EXPECT_FALSE(Options().mVisible);
}

TEST_F(OptionsTest, WhileMutedASliderOnlyStoresItsValue) {
  Options().mMuteCheckbox->SetChecked(true);
  Update();
  EXPECT_EQ(SoundVolumes(), std::vector<int>{0});
  EXPECT_EQ(MusicVolumes(), std::vector<int>{});
  Options().mSndvolSlider->SetValue(80);
  Update();
  EXPECT_TRUE(SoundVolumes().empty()) << "silent while muted";
  EXPECT_EQ(Settings().mSoundVolume, 80);
  Options().mMuteCheckbox->SetChecked(false);
  Update();
  EXPECT_EQ(SoundVolumes(), std::vector<int>{80});
}

TEST_F(OptionsTest, ApplyWritesThePrefFileAndSwitchesOnlyAChangedMode) {
  Options().mSndvolSlider->SetValue(20);
  Release(Options().mApply);
  EXPECT_TRUE(Game().switches.empty());
  EXPECT_EQ(Settings().mSoundVolume, 20);
  EXPECT_EQ(Stored().mSoundVolume, 20) << "pref.dat written";
  EXPECT_EQ(Settings().mWindowed, 1);

  Options().Show();
  EXPECT_FALSE(Options().mFullscreenCheckbox->IsChecked()) << "the mode in force: a window";
  Options().mFullscreenCheckbox->SetChecked(true);
  Release(Options().mApply);
  EXPECT_EQ(Game().switches, std::vector<bool>{false});
  EXPECT_EQ(Settings().mWindowed, 0) << "the mode in force is stored";
  EXPECT_EQ(Stored().mWindowed, 0);
}

TEST_F(OptionsTest, AnotherButtonClosesWithoutPuttingBack) {
  Options().mMusvolSlider->SetValue(10);
  Update();
  auto* other = new QCButton(&Options(), NextButtonId(), &Options());
  Options().BindControl("other", other);
  Release(other);
  EXPECT_FALSE(Options().mVisible);
  EXPECT_EQ(Settings().mMusicVolume, 10) << "kept in memory, not saved";
}

TEST_F(OptionsTest, ASecondShowSavesWhatIsInForceThen) {
  Options().mMusvolSlider->SetValue(40);
  Update();
  Options().Show();
  Options().mMusvolSlider->SetValue(90);
  Update();
  Release(Options().mCancel);
  EXPECT_EQ(Settings().mMusicVolume, 40);
}

}  // namespace
