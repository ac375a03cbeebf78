#include "app/AppTestSupport.h"
#include "widgets/WidgetManager.h"

namespace Velk::Testing {
namespace {

TEST_F(AppTest, OverlayKeysCycleModesAndRestartTheRateMeasurement) {
  CountingApp& app = MakeApp();
  app.mWidgetManager->mKeyDown[VK_SHIFT] = true;
  EXPECT_FALSE(app.DebugKey('R'));
  EXPECT_EQ(app.mOverlayMode, 1);
  app.mFpsFirst = false;
  app.mFpsShown = 55;
  EXPECT_FALSE(app.DebugKey('R'));
  EXPECT_EQ(app.mOverlayMode, 0);
  EXPECT_TRUE(app.mShowOverlays);
  EXPECT_TRUE(app.mFpsFirst);
  EXPECT_EQ(app.mFpsShown, 0);
  app.mWidgetManager->mKeyDown[VK_SHIFT] = false;
  EXPECT_FALSE(app.DebugKey(VK_F3));
  EXPECT_FALSE(app.mShowOverlays);
  EXPECT_TRUE(app.DebugKey(VK_F10));
  EXPECT_FALSE(app.DebugKey('Q'));
}

TEST_F(AppTest, CrashInfoBlock) {
  CountingApp& app = MakeApp();
  app.mProdName = "Cafe";
  app.mProductVersion = "1.2";
  app.mIsWindowed = true;
  app.mMainThreadId = 0xAB;
  Clock::UseManual(10000000);
  app.mLoadingStartTick = 10000000 - 3723000;  // 1 h 2 min 3 s ago
  std::string info = app.GetCrashInfo();
  EXPECT_EQ(info,
            "Product: Cafe\r\nVersion: 1.2\r\nTime Loaded: 01:02:03\r\nFullscreen: No\r\nPrimary ThreadId: AB\r\n");
}

}  // namespace
}  // namespace Velk::Testing
