#include "app/RegistryStore.h"
#include "app/AppTestSupport.h"
#include "platform/registry/Registry.h"

namespace Velk::Testing {
namespace {

using RegistrySettingsTest = AppTest;

TEST_F(RegistrySettingsTest, VolumesRoundTripAsTruncatedPercentages) {
  CountingApp& app = MakeApp();
  RegistryStore store(app.mRegKey);
  ASSERT_TRUE(store.WriteInteger("MusicVolume", 85));
  ASSERT_TRUE(store.WriteInteger("SfxVolume", 500));  // out of range: taken as full volume
  app.ReadRegistrySettings();
  EXPECT_EQ(app.mMusicVolume, 0.85);
  EXPECT_EQ(app.mSfxVolume, 1.0);

  app.mSfxVolume = 0.849;
  app.WriteRegistrySettings();
  int value = 0;
  ASSERT_TRUE(store.ReadInteger("MusicVolume", value));
  EXPECT_EQ(value, 85);
  ASSERT_TRUE(store.ReadInteger("SfxVolume", value));
  EXPECT_EQ(value, 84);
}

TEST_F(RegistrySettingsTest, ValuesOfAnotherTypeLeaveTheDefaults) {
  CountingApp& app = MakeApp();
  RegistryStore store(app.mRegKey);
  store.WriteString("MusicVolume", "40");
  store.WriteString("ScreenMode", "0");
  app.ReadRegistrySettings();
  EXPECT_EQ(app.mMusicVolume, 0.85);
  EXPECT_FALSE(app.mIsWindowed);
  int value = 0;
  EXPECT_FALSE(store.ReadInteger("MusicVolume", value));
}

TEST_F(RegistrySettingsTest, TheWholeTableIsReadAndWritten) {
  CountingApp& app = MakeApp();
  RegistryStore store(app.mRegKey);
  store.WriteInteger("Muted", 1);
  store.WriteInteger("ScreenMode", 0);
  store.WriteInteger("PreferredX", -20);
  store.WriteInteger("PreferredY", 33);
  store.WriteInteger("CustomCursors", 5);
  store.WriteInteger("WaitForVSync", 1);
  store.WriteInteger("InProgress", 1);  // the last run did not end cleanly
  app.ReadRegistrySettings();
  EXPECT_EQ(app.mMuteCount, 1);
  EXPECT_TRUE(app.mIsWindowed);
  EXPECT_EQ(app.mPreferredX, -20);
  EXPECT_EQ(app.mPreferredY, 33);
  EXPECT_TRUE(app.mCustomCursorsEnabled);
  EXPECT_TRUE(app.mWaitForVSync);
  EXPECT_FALSE(app.mLastShutdownWasGraceful);

  app.mIsWindowed = false;
  app.WriteRegistrySettings();
  int value = -1;
  store.ReadInteger("ScreenMode", value);
  EXPECT_EQ(value, 1);
  store.ReadInteger("InProgress", value);
  EXPECT_EQ(value, 0);
  store.ReadInteger("CustomCursors", value);
  EXPECT_EQ(value, 1);
  store.ReadInteger("PreferredX", value);
  EXPECT_EQ(value, -20);
}

TEST_F(RegistrySettingsTest, InProgressIsSetWhileRunningAndOnlyManualMutesAreSaved) {
  CountingApp& app = MakeApp();
  RegistryStore store(app.mRegKey);
  app.ReadRegistrySettings();
  EXPECT_TRUE(app.mLastShutdownWasGraceful);
  int value = 0;
  ASSERT_TRUE(store.ReadInteger("InProgress", value));
  EXPECT_EQ(value, 1);

  app.Mute(true);
  app.WriteRegistrySettings();
  store.ReadInteger("Muted", value);
  EXPECT_EQ(value, 0);
  app.Mute(false);
  app.WriteRegistrySettings();
  store.ReadInteger("Muted", value);
  EXPECT_EQ(value, 1);
}

// The key is shared with the rest of the program: a damaged line at start loses nothing else.
TEST_F(RegistrySettingsTest, ADamagedLineLosesNoOtherSetting) {
  CountingApp& app = MakeApp();
  scratch_.Write("Velk Tests/" + app.mProdName + "/settings.ini",
                 "\"MusicVolume\"=dword:00000028\n\"SfxVolume\"=dword:0000001e\n\"Muted\"=dword:00000000\n"
                 "\"Broken=dword:1\n"
                 "\"ScreenMode\"=dword:00000000\n\"PreferredX\"=dword:00000005\n\"PreferredY\"=dword:00000006\n"
                 "\"CustomCursors\"=dword:00000001\n\"Is3D\"=dword:00000001\n");
  testing::internal::CaptureStderr();
  app.ReadRegistrySettings();
  app.WriteRegistrySettings();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("line 4 does not read"), std::string::npos);
  EXPECT_EQ(app.mMusicVolume, 0.4);
  EXPECT_EQ(app.mSfxVolume, 0.3);
  EXPECT_TRUE(app.mIsWindowed);
  EXPECT_EQ(app.mPreferredX, 5);
  RegistryStore store(app.mRegKey);
  int value = 0;
  ASSERT_TRUE(store.ReadInteger("Is3D", value)) << "a value of other code survives";
  EXPECT_EQ(value, 1);
  ASSERT_TRUE(store.ReadInteger("PreferredY", value));
  EXPECT_EQ(value, 6);
}

TEST_F(RegistrySettingsTest, AnEmptyKeyTouchesNothing) {
  CountingApp& app = MakeApp();
  app.mRegKey.clear();
  app.ReadRegistrySettings();
  EXPECT_TRUE(app.mRegistryRead);
  EXPECT_FALSE(app.WriteRegistryInteger("MusicVolume", 1));
  int value = 0;
  EXPECT_FALSE(app.ReadRegistryInteger("MusicVolume", value));
  EXPECT_FALSE(app.WriteRegistryString("Name", "x"));
}

TEST_F(RegistrySettingsTest, ANameMayCarryASubkeyAndAStringPropertyRedirectsTheKey) {
  CountingApp& app = MakeApp();
  ASSERT_TRUE(app.WriteRegistryInteger("Test3D\\Level", 7));
  int value = 0;
  EXPECT_FALSE(app.ReadRegistryInteger("Level", value));
  HKEY key = nullptr;
  std::string path = "SOFTWARE\\" + app.mRegKey + "\\Test3D";
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(app.ReadRegistryInteger("Test3D\\Level", value));
  EXPECT_EQ(value, 7);
  app.EraseRegistryValue(L"Test3D\\Level");
  EXPECT_FALSE(app.ReadRegistryInteger("Test3D\\Level", value));

  app.SetString("RegistryKey", L"Velk Tests\\Elsewhere\\");
  app.ReadRegistrySettings();
  EXPECT_EQ(app.mRegKey, "Velk Tests\\Elsewhere\\");
  EXPECT_TRUE(RegistryStore("Velk Tests\\Elsewhere").ReadInteger("InProgress", value));
}

}  // namespace
}  // namespace Velk::Testing
