#include "app/AppTestSupport.h"
#include "app/WindowPlacement.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/cursor/Cursor.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/msgbox/MessageBox.h"
#include "widgets/WidgetManager.h"

namespace Velk::Testing {
namespace {

TEST(WindowPlacementTest, CentredAcrossAndOnTheGoldenSectionDown) {
  RECT work{0, 0, 1024, 738};
  POINT at = PlaceWindow(work, 806, 625, -1, -1);
  EXPECT_EQ(at.x, 109);
  EXPECT_EQ(at.y, 43);  // trunc(0.382 x 113)
  RECT shifted{100, 30, 1124, 768};
  at = PlaceWindow(shifted, 806, 625, -1, -1);
  EXPECT_EQ(at.x, 209);
  EXPECT_EQ(at.y, 30 + 43);
}

TEST(WindowPlacementTest, APreferredPositionIsKeptInsideTheWorkArea) {
  RECT work{0, 0, 1024, 738};
  POINT at = PlaceWindow(work, 806, 625, -20, 50);
  EXPECT_EQ(at.x, 4);
  EXPECT_EQ(at.y, 50);
  at = PlaceWindow(work, 806, 625, 300, 200);
  EXPECT_EQ(at.x, 1024 - 4 - 806);
  EXPECT_EQ(at.y, 738 - 4 - 625);
  at = PlaceWindow(work, 806, 625, 100, 0);
  EXPECT_EQ(at.x, 100);
  EXPECT_EQ(at.y, 4);
}

class ScreenModeTest : public AppTest {
 protected:
  ~ScreenModeTest() override {
    DDrawFaults::Clear();
    DDrawSettings::Reset();
    SetMessageBoxHook(nullptr);
  }
  CountingApp& StartReal(bool windowed) {
    CountingApp& app = MakeApp();
    app.realSwitches = true;
    app.mIsWindowed = windowed;
    app.mEnforceSingleInstance = false;
    app.Init();
    return app;
  }
};

TEST_F(ScreenModeTest, AWindowIsPlacedAndTheDisplayStartsInIt) {
  CountingApp& app = StartReal(true);
  ASSERT_NE(app.mDDInterface, nullptr);
  EXPECT_TRUE(app.mIsPhysWindowed);
  EXPECT_EQ(app.mWidgetManager->mImage, static_cast<Image*>(app.mDDInterface->GetScreenImage()));
  RECT outer{};
  GetWindowRect(app.mHWnd, &outer);
  RECT frame{0, 0, 800, 600};
  AdjustWindowRect(&frame, WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
  int width = frame.right - frame.left;
  EXPECT_EQ(outer.left, (1024 - width) / 2);  // the headless desktop's work area is 1024 wide
  EXPECT_EQ(outer.right - outer.left, width);
}

TEST_F(ScreenModeTest, SwitchingModesRemakesTheWindowAndKeepsTheWish) {
  CountingApp& app = StartReal(true);
  HWND windowed = app.mHWnd;
  app.SwitchScreenMode(false);
  EXPECT_FALSE(app.mIsWindowed);
  EXPECT_FALSE(app.mIsPhysWindowed);
  EXPECT_NE(app.mHWnd, windowed);
  EXPECT_FALSE(IsWindow(windowed));
  app.mForceFullscreen = true;
  app.SwitchScreenMode(true);  // a forced full screen stays
  EXPECT_FALSE(app.mIsWindowed);
}

TEST_F(ScreenModeTest, AskingBeforeStartUpOnlyKeepsTheWish) {
  CountingApp& app = MakeApp();
  app.realSwitches = true;
  app.SwitchScreenMode(true);
  EXPECT_TRUE(app.mIsWindowed);
  EXPECT_EQ(app.mHWnd, nullptr);
}

TEST_F(ScreenModeTest, ADesktopDepthTheWindowCannotUseGoesFullScreen) {
  DDrawSettings::Get().desktopBits = 24;
  CountingApp& app = StartReal(true);
  EXPECT_TRUE(app.mForceFullscreen);
  EXPECT_FALSE(app.mIsWindowed);
  EXPECT_FALSE(app.mIsPhysWindowed);
}

TEST_F(ScreenModeTest, ARefusedFullScreenFallsBackToAWindow) {
  DDrawFaults::Fail("SetDisplayMode", DDERR_GENERIC);
  CountingApp& app = StartReal(false);
  EXPECT_TRUE(app.mFellBackToWindowed);
  EXPECT_TRUE(app.mIsWindowed);
  EXPECT_TRUE(app.mIsPhysWindowed);
  EXPECT_EQ(app.mWidgetManager->mImage, static_cast<Image*>(app.mDDInterface->GetScreenImage()));
}

TEST_F(ScreenModeTest, AnyOtherFailureEndsTheProgramWithCode1) {
  EXPECT_EXIT(
      {
        CountingApp& app = MakeApp();
        app.mIsWindowed = true;
        app.mEnforceSingleInstance = false;
        app.WriteRegistryBoolean("Is3D", false);  // no 3-D path to fall back from
        DDrawFaults::Fail("CreateClipper", DDERR_GENERIC);
        app.Init();
      },
      ::testing::ExitedWithCode(1), "Failed to initialize DirectDraw: RESULT_FAIL");
}

TEST_F(ScreenModeTest, ALostDisplayIsStartedAgainByTheNextPresent) {
  CountingApp& app = StartReal(true);
  app.mActive = true;
  Image* before = app.mWidgetManager->mImage;
  ASSERT_NE(before, nullptr);
  DDrawFaults::Fail("Blt", DDERR_GENERIC);
  app.PresentFrame(nullptr);
  EXPECT_TRUE(app.mDisplayLost);
  EXPECT_NE(app.mLastRecoveryTick, 0u);
  EXPECT_EQ(app.mWidgetManager->mImage, static_cast<Image*>(app.mDDInterface->GetScreenImage()));
  app.PresentFrame(nullptr);
  EXPECT_FALSE(app.mDisplayLost);
  EXPECT_EQ(app.mLastRecoveryTick, 0u);
}

TEST_F(ScreenModeTest, CursorImagesShowOnlyWhenAllowed) {
  CountingApp& app = StartReal(true);
  app.mMouseIn = true;
  MemoryImage pointer;
  pointer.CreateBlank(8, 8);
  app.SetCursorImage(13, &pointer);  // out of range: ignored
  app.SetCursorImage(1, &pointer);
  app.SetCursorKind(1);
  EXPECT_TRUE(app.mSysCursor);  // custom cursors are off
  EXPECT_EQ(GetCursor(), app.mHandCursor);
  app.SetCustomCursorsEnabled(true);
  EXPECT_FALSE(app.mSysCursor);
  EXPECT_EQ(GetCursor(), nullptr);

  app.SetCustomCursorsEnabled(false);
  app.SetCursorImage(12, &pointer);
  app.SetCursorKind(12);  // shown whatever the switch says
  EXPECT_FALSE(app.mSysCursor);
  app.SetCursorKind(3);
  EXPECT_TRUE(app.mSysCursor);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));
  app.mMouseIn = false;
  app.ApplyCursor();
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  app.SetCursorImage(1, nullptr);
  app.SetCursorImage(12, nullptr);
}

}  // namespace
}  // namespace Velk::Testing

namespace Velk::Testing {
namespace {

// With 3-D on, a purged image's only copy is its textures; reading it back goes through the renderer.
TEST_F(ScreenModeTest, PurgedImagesReadBackFromTheirTextures) {
  CountingApp& app = StartReal(true);
  ASSERT_NE(app.mDDInterface, nullptr);
  auto* renderer = dynamic_cast<D3DInterface*>(app.mDDInterface->mRenderer.get());
  if (!renderer || !app.Is3DModeOn()) GTEST_SKIP() << "display started without 3-D";
  std::vector<uint32_t> pixels = {0xFF102030u, 0x80405060u, 0u, 0xFFFFFFFFu};
  MemoryImage image(&app);
  image.SetPixels(pixels.data(), 2, 2, true);
  image.mPurgeBits = true;
  ASSERT_TRUE(renderer->PrepareImage(&image));
  EXPECT_EQ(image.mBits, nullptr);
  const uint32_t* back = image.GetArgbBits();
  EXPECT_EQ(std::vector<uint32_t>(back, back + 4), pixels);
}


// A picture whose pixels were dropped once the 3-D road held it as textures shows again after a switch
// to full screen, with every pixel as it was, and after the 3-D road is switched off.
TEST_F(ScreenModeTest, DroppedPicturesShowAgainAfterModeAndRoadSwitches) {
  CountingApp& app = StartReal(true);
  ASSERT_NE(app.mDDInterface, nullptr);
  if (!app.Is3DModeOn()) GTEST_SKIP() << "display started without 3-D";
  std::vector<uint32_t> pixels(12 * 7);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = (i % 3 == 0 ? 0xFF000000u : static_cast<uint32_t>(i * 37 % 256) << 24) | static_cast<uint32_t>(i * 0x030507u);
  MemoryImage image(&app);
  image.SetPixels(pixels.data(), 12, 7, true);
  image.DropBits();  // only the request until the textures exist
  ASSERT_NE(image.mBits, nullptr);
  // Opaque pixels land unchanged on either road.
  auto shows = [&] {
    Graphics(app.mDDInterface->GetScreenImage()).DrawImage(&image, 3, 2);
    DDSURFACEDESC d{};
    IDirectDrawSurface* surface = app.mDDInterface->mDrawSurface;
    if (surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    bool same = true;
    for (size_t i = 0; i < pixels.size(); i += 3) {
      const auto* row = static_cast<const uint8_t*>(d.lpSurface) + static_cast<size_t>(2 + i / 12) * d.lPitch;
      same = same && (reinterpret_cast<const uint32_t*>(row)[3 + i % 12] & 0xFFFFFFu) == (pixels[i] & 0xFFFFFFu);
    }
    surface->Unlock(nullptr);
    return same;
  };
  auto bits = [&] { return std::vector<uint32_t>(image.GetArgbBits(), image.GetArgbBits() + pixels.size()); };
  EXPECT_TRUE(shows());
  EXPECT_EQ(image.mBits, nullptr);

  app.SwitchScreenMode(false);
  ASSERT_TRUE(app.Is3DModeOn());
  EXPECT_TRUE(shows());
  EXPECT_EQ(image.mBits, nullptr);
  EXPECT_EQ(bits(), pixels);

  // The memory road keeps the dropped picture in the display's premultiplied format.
  app.SwitchScreenMode(true, false, false);
  ASSERT_FALSE(app.Is3DModeOn());
  EXPECT_TRUE(shows());
  EXPECT_EQ(image.mBits, nullptr);
}

}  // namespace
}  // namespace Velk::Testing
