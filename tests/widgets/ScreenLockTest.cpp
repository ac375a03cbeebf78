#include "graphics/DisplayTestKit.h"
#include "widgets/WidgetTestSupport.h"

namespace Velk::Testing {
namespace {

class LockProbe : public Widget {
 public:
  DDImage* mScreen;
  int mLockCountSeen = -1;
  explicit LockProbe(DDImage* screen) : mScreen(screen) { SetBounds(0, 0, 10, 10); }
  void Draw(Graphics*) override { mLockCountSeen = mScreen->mLockCount; }
};

using ScreenLock = DisplayTest;

TEST_F(ScreenLock, TheScreenSurfaceStaysLockedForTheWholeDraw) {
  ASSERT_EQ(Start(), 0);
  auto screen = SurfaceImage(32, 32, 0xFF000000);
  FakeHost app;
  WidgetManager manager(&app);
  manager.mImage = screen.get();
  LockProbe probe(screen.get());
  manager.AddChild(&probe);
  EXPECT_TRUE(manager.DrawScreen(&app));
  EXPECT_EQ(1, probe.mLockCountSeen);
  EXPECT_EQ(0, screen->mLockCount);
  manager.RemoveChild(&probe);
}

}  // namespace
}  // namespace Velk::Testing
