#include "app/AppTestSupport.h"
#include "platform/window/MessageQueue.h"

namespace Velk::Testing {
namespace {

class ScreenSaverFilterTest : public AppTest {
 protected:
  CountingApp& StartSaver() {
    CountingApp& app = StartApp();
    app.mIsScreenSaver = true;
    return app;
  }
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return VelkAppBase::WindowProc(app_->mHWnd, message, wParam, lParam);
  }
  bool ClosePosted() {
    MSG msg;
    return PeekMessageW(&msg, app_->mHWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != FALSE;
  }
  void Pump(int steps) {
    for (int i = 0; i < steps; ++i) {
      bool updated = false;
      app_->RunLoopStep(&updated);
    }
  }
};

TEST_F(ScreenSaverFilterTest, SystemCommandsAndAFewPointerMovesAreSwallowed) {
  CountingApp& app = StartSaver();
  HWND main = app.mHWnd;
  // Default processing would turn SC_CLOSE into a close.
  for (WPARAM command : {SC_CLOSE, SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE}) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0);
  }
  EXPECT_TRUE(app.mDeferredInput.Empty());

  // Three moves to new places, one back and forth counting twice; standing still counts nothing.
  for (POINT at : {POINT{5, 5}, POINT{6, 5}, POINT{6, 5}, POINT{6, 5}, POINT{5, 5}}) {
    headless_->InjectMouseMove(main, at.x, at.y);
  }
  Pump(10);
  EXPECT_FALSE(app.mShutdown);
  EXPECT_FALSE(app.mMouseIn);  // no move reached the game

  headless_->InjectMouseMove(main, 40, 30);
  Pump(10);
  EXPECT_TRUE(app.mShutdown);
  EXPECT_TRUE(app.mCloseRequested);
  EXPECT_TRUE(IsWindow(main));
}

TEST_F(ScreenSaverFilterTest, AKeyOrClickOnTheMainWindowCloses) {
  CountingApp& app = StartSaver();
  EXPECT_EQ(VelkAppBase::WindowProc(app.mInvisHWnd, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_FALSE(ClosePosted());
  Send(WM_ACTIVATEAPP, 1);  // gaining activation is no reason
  EXPECT_FALSE(ClosePosted());

  headless_->InjectMouseButton(app.mHWnd, MouseButton::Middle, true, 3, 4);
  Pump(10);
  EXPECT_TRUE(app.mShutdown);
}

TEST_F(ScreenSaverFilterTest, LosingActivationClosesExceptRightAfterTheMonitorWakes) {
  Clock::UseManual(100000);
  CountingApp& app = StartSaver();
  Send(WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(-1));
  Send(WM_ACTIVATE, 0);
  Send(WM_ACTIVATEAPP, 0);
  Send(WM_NCACTIVATE, 0);
  for (int i = 0; i < 4; ++i) Send(WM_MOUSEMOVE, 0, (i + 1) * 10);
  EXPECT_FALSE(ClosePosted());

  Clock::Advance(1000);
  Send(WM_NCACTIVATE, 0);
  EXPECT_TRUE(ClosePosted());
  app.mDeferredInput.Clear();
  Send(WM_KEYDOWN, 'A');  // once the close is posted everything takes its usual way
  EXPECT_EQ(app.mDeferredInput.Size(), 1u);
}

TEST_F(ScreenSaverFilterTest, AKeyClosesEvenWhileTheMonitorWakes) {
  Clock::UseManual(100000);
  StartSaver();
  Send(WM_SYSCOMMAND, SC_MONITORPOWER, 2);
  Send(WM_SYSKEYDOWN, VK_MENU);
  EXPECT_TRUE(ClosePosted());
}

}  // namespace
}  // namespace Velk::Testing
