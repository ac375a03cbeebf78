#include "app/AppTestSupport.h"
#include "app/JumpToTimeDialog.h"
#include "app/MarkerListDialog.h"
#include "app/RegistryStore.h"
#include "platform/registry/Registry.h"
#include "platform/window/WinUser.h"

#include <functional>

namespace Velk::Testing {
namespace {

// Plays the user's part inside the dialog, then lets the real modal loop see the answer.
class DialogApp : public CountingApp {
 public:
  std::function<void(Dialog*)> user;
  int RunDemoDialog(Dialog* dialog) override {
    user(dialog);
    return VelkAppBase::RunDemoDialog(dialog);
  }
};

class DemoJumpDialogsTest : public AppTest {
 protected:
  DialogApp& StartPlaying() {
    auto app = std::make_unique<DialogApp>();
    DialogApp& ref = *app;
    app_ = std::move(app);
    ref.mIsWindowed = true;
    ref.mEnforceSingleInstance = false;
    ref.Init();
    ref.mDemo.mPlaying = true;
    ref.mDemoInfo.mDemoLength = 10000;
    ref.mDemoInfo.mMarkers = {{"start", 100}, {"middle", 300}, {"late", 500}};
    ref.mFrameTime = 10;
    ref.mUpdateCount = 200;
    return ref;
  }
  std::string StoredTime(DialogApp& app) {
    BYTE bytes[64];
    DWORD type = 0;
    DWORD size = sizeof(bytes);
    if (!RegistryStore(app.mRegKey).Read("DemoJumpTime", &type, bytes, &size) || type != REG_SZ) return "<none>";
    return std::string(reinterpret_cast<char*>(bytes), size);
  }
};

TEST_F(DemoJumpDialogsTest, ChosenMarkerBecomesTheJumpTarget) {
  DialogApp& app = StartPlaying();
  app.user = [&](Dialog* dialog) {
    auto* list = dynamic_cast<MarkerListDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->mEntries.size(), 2u);  // "start" lies behind the counter
    list->KeyDown(VK_DOWN);
    list->KeyDown(VK_DOWN);  // stays on the last row
    list->KeyDown(VK_UP);
    // Live input reaches the dialog although the demo is playing.
    EXPECT_FALSE(app.DemoFiltersInput(DeferredInput{nullptr, WM_KEYDOWN, VK_DOWN, 0}));
    list->OnButtonReleased(Dialog::YesButtonId);
  };
  app.HandleDemoPlaybackKey(WM_CHAR, 'l');
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 300u);
  EXPECT_TRUE(app.DemoFiltersInput(DeferredInput{nullptr, WM_KEYDOWN, VK_DOWN, 0}));

  app.user = [](Dialog* dialog) {
    const int secondRow = MarkerListDialog::kListTop + MarkerListDialog::kRowHeight + 2;
    dialog->MouseDown(40, secondRow, 1, 1);
    dialog->MouseDown(40, secondRow, 1, 2);
  };
  app.HandleDemoPlaybackKey(WM_CHAR, 'L');
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 500u);
  EXPECT_EQ(app.GetDialogCount(), 0);
}

TEST_F(DemoJumpDialogsTest, TypedTimeJumpsBeforeTheEndAndIsStored) {
  DialogApp& app = StartPlaying();
  RegistryStore(app.mRegKey).WriteString("DemoJumpTime", "1:3");
  app.user = [](Dialog* dialog) {
    auto* entry = dynamic_cast<JumpToTimeDialog*>(dialog);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Text(), "1:3");
    for (wchar_t c : std::wstring(L"\b0a5")) entry->KeyChar(c);
    entry->OnButtonReleased(Dialog::YesButtonId);
  };
  app.HandleDemoPlaybackKey(WM_CHAR, 'j');
  // 65 s: 10000 - (65 + 1) * 1000 / 10 updates.
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 3400u);
  EXPECT_EQ(StoredTime(app), "1:05");
}

TEST_F(DemoJumpDialogsTest, CancelChangesNothing) {
  DialogApp& app = StartPlaying();
  RegistryStore(app.mRegKey).WriteString("DemoJumpTime", "2");
  app.user = [&](Dialog* dialog) {
    dialog->KeyChar(L'0');
    // Digits typed into the dialog are not the playback keys.
    app.HandleDemoPlaybackKey(WM_CHAR, '0');
    dialog->OnButtonReleased(Dialog::NoButtonId);
  };
  app.HandleDemoPlaybackKey(WM_CHAR, 'j');
  app.HandleDemoPlaybackKey(WM_CHAR, 'l');
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 0u);
  EXPECT_FALSE(app.mDemoControls.mRunToEnd);
  EXPECT_EQ(StoredTime(app), "2");
}

// The keys come through the window, as a player presses them.
TEST_F(DemoJumpDialogsTest, EnterPressesOkAndEscapePressesCancel) {
  DialogApp& app = StartPlaying();
  RegistryStore(app.mRegKey).WriteString("DemoJumpTime", "10");
  auto press = [&](UINT key) {
    app.user = [&, key](Dialog*) {
      headless_->InjectKey(app.mHWnd, key, true);
      headless_->InjectKey(app.mHWnd, key, false);
    };
  };
  press(VK_ESCAPE);
  app.HandleDemoPlaybackKey(WM_CHAR, 'l');
  app.HandleDemoPlaybackKey(WM_CHAR, 'j');
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 0u);
  EXPECT_EQ(app.GetDialogCount(), 0);

  press(VK_RETURN);
  app.HandleDemoPlaybackKey(WM_CHAR, 'l');
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 300u) << "the first marker ahead";
  app.HandleDemoPlaybackKey(WM_CHAR, 'j');
  // 10 s before the end: 10000 - (10 + 1) * 1000 / 10 updates.
  EXPECT_EQ(app.mDemoControls.mJumpTarget, 8900u);
  EXPECT_EQ(app.GetDialogCount(), 0);
}

TEST(MarkerListDialogTest, LongListScrollsWithTheSelection) {
  std::vector<DemoJumps::Entry> entries;
  for (DWORD i = 0; i < 20; ++i) entries.push_back({"m", 1000 + i});
  MarkerListDialog list(nullptr, entries);
  for (int i = 0; i < 17; ++i) list.KeyDown(VK_DOWN);
  EXPECT_EQ(list.Target(), 1017u);
  // Rows 2 to 17 are shown now; the top one on screen is the third marker.
  list.MouseDown(40, MarkerListDialog::kListTop + 1, 1, 2);
  EXPECT_EQ(list.Target(), 1002u);
  EXPECT_EQ(list.mResult, Dialog::YesButtonId);
}

}  // namespace
}  // namespace Velk::Testing
