#include "app/AppTestSupport.h"
#include "app/RegistryStore.h"
#include "common/DataFolder.h"
#include "platform/version/Version.h"
#include "platform/instance/InstanceLock.h"
#include "platform/window/MessageQueue.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <vector>

// A forked child has none of its parent's threads, so what only those threads still pointed at
// would look leaked when the child exits.
static bool gLeakCheckOff = false;
#if defined(__SANITIZE_ADDRESS__)
extern "C" int __lsan_is_turned_off() { return gLeakCheckOff ? 1 : 0; }
#endif

namespace Velk::Testing {
namespace {

class WheelCatcher : public Widget {
 public:
  void MouseWheel(int delta) override { deltas.push_back(delta); }
  std::vector<int> deltas;
};

class WindowInputTest : public AppTest {
 protected:
  void Pump(int steps = 1) {
    for (int i = 0; i < steps; ++i) {
      bool updated = false;
      app_->RunLoopStep(&updated);
    }
  }
  // Sends straight to the window procedure, as the system does.
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return VelkAppBase::WindowProc(app_->mHWnd, message, wParam, lParam);
  }
  void DeliverAll() { app_->ProcessDeferredInput(false); }
};

constexpr LPARAM kAltHeld = 1 << 29;

TEST_F(WindowInputTest, TheCloseBoxKeepsTheWindowAndEndsInShutdown) {
  CountingApp& app = StartApp();
  HWND main = app.mHWnd;
  headless_->InjectClose(main);
  headless_->InjectKey(main, 'A', true);
  Pump();
  EXPECT_TRUE(IsWindow(main));
  EXPECT_TRUE(app.mCloseRequested);
  EXPECT_TRUE(app.mShutdown);
  EXPECT_EQ(app.shutdowns, 1);
  EXPECT_TRUE(app.mDeferredInput.Empty());  // nothing was queued after the close
  int inProgress = -1;
  RegistryStore(app.mRegKey).ReadInteger("InProgress", inProgress);
  EXPECT_EQ(inProgress, 0);
}

TEST_F(WindowInputTest, SystemKeysOpenNoMenuButAltF4Closes) {
  CountingApp& app = StartApp();
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_MENU, kAltHeld), 0);
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F10), 0);
  EXPECT_EQ(app.mDeferredInput.Size(), 2u);
  Send(WM_SYSKEYDOWN, VK_F4, kAltHeld);  // default processing closes the window
  ASSERT_EQ(app.mDeferredInput.Size(), 4u);
  DeliverAll();
  EXPECT_TRUE(app.mShutdown);
  EXPECT_TRUE(IsWindow(app.mHWnd));
  EXPECT_EQ(Send(WM_SYSCHAR, '\r'), 0);
  EXPECT_EQ(Send(WM_SYSCHAR, 'R'), 0);
}

TEST_F(WindowInputTest, AltEnterTogglesTheScreenModeUnlessItIsForced) {
  CountingApp& app = StartApp();
  Send(WM_SYSKEYDOWN, VK_MENU, kAltHeld);
  Send(WM_SYSKEYDOWN, VK_RETURN, kAltHeld);
  DeliverAll();
  EXPECT_EQ(app.screenSwitches, 1);
  EXPECT_FALSE(app.lastSwitchWindowed);
  EXPECT_FALSE(app.mAltDown);  // the key table was cleared
  EXPECT_FALSE(app.mWidgetManager->mKeyDown[VK_MENU]);

  app.mForceFullscreen = true;
  Send(WM_SYSKEYDOWN, VK_RETURN, kAltHeld);
  DeliverAll();
  EXPECT_EQ(app.screenSwitches, 1);
  EXPECT_TRUE(app.mWidgetManager->mKeyDown[VK_RETURN]);  // delivered as a plain key

  Send(WM_SIZE, SIZE_MAXIMIZED);  // maximising asks for the full screen
  DeliverAll();
  EXPECT_EQ(app.screenSwitches, 2);
  EXPECT_FALSE(app.lastSwitchWindowed);
}

TEST_F(WindowInputTest, WheelStepsAreTruncatedTowardZero) {
  CountingApp& app = StartApp();
  WheelCatcher catcher;
  app.mWidgetManager->AddChild(&catcher);
  app.mWidgetManager->SetFocus(&catcher);
  for (int delta : {-119, -240, 119, 360}) {
    Send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16);
  }
  DeliverAll();
  EXPECT_EQ(catcher.deltas, (std::vector<int>{0, -2, 0, 3}));
  app.mWidgetManager->RemoveChild(&catcher);
}

TEST_F(WindowInputTest, TheCaptureStaysWhileAnyButtonIsDown) {
  CountingApp& app = StartApp();
  HWND main = app.mHWnd;
  headless_->InjectMouseButton(main, MouseButton::Right, true, 10, 10);
  headless_->InjectMouseButton(main, MouseButton::Left, true, 12, 10);
  headless_->InjectMouseButton(main, MouseButton::Left, false, 12, 10);
  Pump(8);
  EXPECT_EQ(GetCapture(), main);
  EXPECT_TRUE(app.mMouseIn);
  headless_->InjectMouseButton(main, MouseButton::Right, false, 12, 10);
  Pump(4);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowInputTest, MinimisingMutesAndFocusFollowsActivation) {
  CountingApp& app = StartApp();
  Send(WM_ACTIVATEAPP, 1);
  DeliverAll();
  ASSERT_TRUE(app.mHasFocus);
  int gained = app.focusGained;

  Send(WM_SIZE, SIZE_MINIMIZED);
  DeliverAll();
  EXPECT_TRUE(app.mMinimized);
  EXPECT_TRUE(app.IsMuted());
  EXPECT_EQ(app.mAutoMuteCount, 2);  // once for the minimising, once for the focus
  EXPECT_FALSE(app.mHasFocus);
  EXPECT_EQ(app.focusLost, 1);

  app.mWidgetManager->mDirty = false;
  Send(WM_SIZE, SIZE_RESTORED);
  DeliverAll();
  EXPECT_FALSE(app.IsMuted());
  EXPECT_EQ(app.mAutoMuteCount, 0);
  EXPECT_TRUE(app.mHasFocus);
  EXPECT_EQ(app.focusGained, gained + 1);
}

TEST_F(WindowInputTest, NothingIsQueuedWhileAPopupIsUp) {
  CountingApp& app = StartApp();
  app.mFlippedToGdi = true;
  Send(WM_KEYDOWN, 'A');
  Send(WM_TIMER, 100);
  EXPECT_TRUE(app.mDeferredInput.Empty());
}

TEST_F(WindowInputTest, DialogButtonsReportAsApplicationButtons) {
  CountingApp& app = MakeApp();
  app.OnDialogButtonPressed(7, 1000);
  EXPECT_EQ(app.lastPressed, 2007);
  app.OnDialogButtonReleased(7, 1001);
  EXPECT_EQ(app.lastReleased, 3007);
  app.OnDialogButtonPressed(7, 5);
  EXPECT_EQ(app.lastPressed, 2007);
}

TEST_F(WindowInputTest, ASmallDesktopForcesTheFullScreen) {
  DisplayInfo small = headless_->Display();
  small.workArea = RECT{0, 0, 800, 600};
  headless_->SetDisplay(small);
  CountingApp& app = StartApp();
  EXPECT_FALSE(app.mIsWindowed);
  EXPECT_TRUE(app.mForceFullscreen);
}

TEST_F(WindowInputTest, AnEmptyRegistryKeyStartsAndWritesNothing) {
  CountingApp& app = MakeApp();
  std::string key = app.mRegKey;
  app.mRegKey.clear();
  app.mIsWindowed = true;
  app.mEnforceSingleInstance = false;
  app.Init();
  EXPECT_TRUE(app.mInitialized);
  app.Shutdown();
  int value = 0;
  EXPECT_FALSE(RegistryStore(key).ReadInteger("InProgress", value));
}

TEST_F(WindowInputTest, StartUpNamesTheDataFolderOnlyOnNewerSystems) {
  SetVersionQueryFails(true);
  SetDataFolder("");
  StartApp();
  EXPECT_EQ(GetDataFolder(), "");
  SetVersionQueryFails(false);
  app_.reset();
  CountingApp& app = StartApp();
  EXPECT_EQ(GetDataFolder(), scratch_ / "data\\\\" + app.mProdName + "\\");
  SetDataFolder("");
}

using SingleInstanceDeathTest = WindowInputTest;

TEST_F(SingleInstanceDeathTest, ASecondStartExitsAndRaisesTheFirst) {
  CountingApp& first = MakeApp();
  first.mIsWindowed = true;
  // No mixing thread: the second start is forked, and a lock that thread held at the fork (the
  // sanitizer's allocator's, say) would be held for ever in the copy.
  first.mNoSound = true;
  first.Init();
  ShowWindow(first.mHWnd, SW_MINIMIZE);
  std::string product = first.mProdName;
  EXPECT_EXIT(
      {
        gLeakCheckOff = true;
        CountingApp second;
        second.mProdName = product;
        second.mIsWindowed = true;
        second.Init();
      },
      ::testing::ExitedWithCode(0), "");
  WINDOWPLACEMENT placement;
  for (int i = 0; i < 500; ++i) {  // up to five seconds on a loaded machine
    Pump();
    GetWindowPlacement(first.mHWnd, &placement);
    if (placement.showCmd != SW_SHOWMINIMIZED) break;
    Sleep(10);
  }
  EXPECT_NE(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
}

}  // namespace
}  // namespace Velk::Testing
