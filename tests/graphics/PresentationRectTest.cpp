// Where the 800 x 600 picture lands when the screen is another size: the desktop in full screen
// (whose mode is never changed on a real screen) or a window's client area that a window manager
// sized. Expected rectangles are the largest centred 4:3 ones, worked out by hand.
#include "DisplayTestKit.h"
#include "graphics/MemoryImage.h"

namespace Velk::Testing {
namespace {

constexpr uint32_t kBlue = 0x000000FF;
constexpr uint32_t kRed = 0x00FF0000;
constexpr uint32_t kGreen = 0x0000FF00;

struct ScreenCase {
  int width;
  int height;
  Rect picture;
};

class PresentationRectTest : public DisplayTest {
 protected:
  // A blue frame with a red corner at the top left and a green one at the bottom right, 2 x 2 each
  // so that a picture scaled down still shows them.
  void DrawMarkedFrame() {
    FillSurface(mDisplay->mDrawSurface, kBlue);
    for (int d = 0; d < 4; ++d) {
      SetSurfacePixel(mDisplay->mDrawSurface, d % 2, d / 2, kRed);
      SetSurfacePixel(mDisplay->mDrawSurface, 798 + d % 2, 598 + d / 2, kGreen);
    }
  }

  // The frame presented fills exactly the picture rectangle of the primary; the rest is black.
  void ExpectPresentedInto(const Rect& p, int screenWidth, int screenHeight) {
    DrawMarkedFrame();
    ASSERT_TRUE(mDisplay->Present(nullptr));
    IDirectDrawSurface* screen = mDisplay->mPrimarySurface;
    EXPECT_EQ(SurfacePixel(screen, p.mX, p.mY) & 0xFFFFFF, kRed);
    EXPECT_EQ(SurfacePixel(screen, p.mX + p.mWidth - 1, p.mY + p.mHeight - 1) & 0xFFFFFF, kGreen);
    EXPECT_EQ(SurfacePixel(screen, p.mX + p.mWidth / 2, p.mY + p.mHeight / 2) & 0xFFFFFF, kBlue);
    if (p.mX > 0) {
      EXPECT_EQ(SurfacePixel(screen, p.mX - 1, screenHeight / 2) & 0xFFFFFF, 0u);
      EXPECT_EQ(SurfacePixel(screen, p.mX + p.mWidth, screenHeight / 2) & 0xFFFFFF, 0u);
    }
    if (p.mY > 0) {
      EXPECT_EQ(SurfacePixel(screen, screenWidth / 2, p.mY - 1) & 0xFFFFFF, 0u);
      EXPECT_EQ(SurfacePixel(screen, screenWidth / 2, p.mY + p.mHeight) & 0xFFFFFF, 0u);
    }
  }
};

TEST_F(PresentationRectTest, FullScreenOnADesktopWhoseModeStaysFillsTheLargestCentredPicture) {
  const ScreenCase screens[] = {
      {800, 600, Rect(0, 0, 800, 600)},       {1024, 768, Rect(0, 0, 1024, 768)},
      {1280, 720, Rect(160, 0, 960, 720)},     // 800 x 720 / 600 = 960 wide
      {1920, 1080, Rect(240, 0, 1440, 1080)},  // 800 x 1080 / 600 = 1440 wide
      {1280, 1024, Rect(0, 32, 1280, 960)},    // 5:4: 600 x 1280 / 800 = 960 high, letterboxed
  };
  for (const ScreenCase& s : screens) {
    for (bool with3D : {false, true}) {
      SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + (with3D ? " 3-D" : " plain"));
      SetDesktop(s.width, s.height);
      DDrawSettings::Get().keepDesktopMode = true;
      ASSERT_EQ(Start(32, with3D, false), 0);
      EXPECT_EQ(mDisplay->mPresentationRect, s.picture);
      EXPECT_EQ(mDisplay->mDisplayWidth, s.width);
      EXPECT_EQ(mDisplay->mDisplayHeight, s.height);
      EXPECT_EQ(DDrawSurface::From(mDisplay->mPrimarySurface)->Width(), s.width);
      EXPECT_EQ(DDrawSurface::From(mDisplay->mPrimarySurface)->Height(), s.height);
      EXPECT_EQ(mDisplay->mWidth, 800);
      ExpectPresentedInto(s.picture, s.width, s.height);
    }
  }
}

TEST_F(PresentationRectTest, AWindowOfAnotherSizeGetsThePictureCentredInIt) {
  const ScreenCase clients[] = {
      {1000, 700, Rect(33, 0, 933, 700)},  // 800 x 700 / 600 = 933 wide, (1000 - 933) / 2 = 33
      {640, 400, Rect(53, 0, 533, 400)},   // smaller than the picture: scaled down
      {800, 700, Rect(0, 50, 800, 600)},   // taller: bars above and below
  };
  for (const ScreenCase& c : clients) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    ASSERT_TRUE(MoveWindow(mWindow, 0, 0, c.width, c.height, FALSE));
    ASSERT_EQ(Start(), 0);
    EXPECT_TRUE(mDisplay->mIsAspectCorrected);
    EXPECT_EQ(mDisplay->mPresentationRect, c.picture);
    ExpectPresentedInto(c.picture, c.width, c.height);
  }
}

TEST_F(PresentationRectTest, TheCursorStandsWhereThePointerMapsToOnAScaledScreen) {
  SetDesktop(1280, 720);
  DDrawSettings::Get().keepDesktopMode = true;
  ASSERT_EQ(Start(32, false, false), 0);
  // Window pixels to the draw buffer: (x - 160) x 800 / 960, y x 600 / 720, truncated.
  EXPECT_EQ(mDisplay->ToDrawBuffer(160, 0).x, 0);
  EXPECT_EQ(mDisplay->ToDrawBuffer(640, 360).x, 400);
  EXPECT_EQ(mDisplay->ToDrawBuffer(640, 360).y, 300);
  EXPECT_EQ(mDisplay->ToDrawBuffer(1119, 719).x, 799);
  EXPECT_EQ(mDisplay->ToDrawBuffer(1119, 719).y, 599);
  EXPECT_EQ(mDisplay->ToDrawBuffer(100, 0).x, -50);

  FillSurface(mDisplay->mDrawSurface, kBlue);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  MemoryImage cursor(&mHost);
  std::vector<uint32_t> square(10 * 10, 0xFFFF0000);
  cursor.SetPixels(square.data(), 10, 10, true);
  mDisplay->SetCursorImage(&cursor);
  IDirectDrawSurface* screen = mDisplay->mPrimarySurface;
  // The draw buffer's (400, 300) is the screen's (640, 360): the 10 x 10 cursor covers 635..644.
  mDisplay->MoveCursor(400, 300);
  EXPECT_EQ(SurfacePixel(screen, 635, 355) & 0xFFFFFF, kRed);
  EXPECT_EQ(SurfacePixel(screen, 644, 364) & 0xFFFFFF, kRed);
  EXPECT_EQ(SurfacePixel(screen, 645, 360) & 0xFFFFFF, kBlue);
  // Moved by less than the cursor area: the old place shows the picture again. (200, 305) is the
  // screen's (400, 366).
  mDisplay->MoveCursor(200, 305);
  EXPECT_EQ(SurfacePixel(screen, 640, 360) & 0xFFFFFF, kBlue);
  EXPECT_EQ(SurfacePixel(screen, 400, 366) & 0xFFFFFF, kRed);
  // A present draws it at the same place, the same size.
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(SurfacePixel(screen, 395, 361) & 0xFFFFFF, kRed);
  EXPECT_EQ(SurfacePixel(screen, 404, 370) & 0xFFFFFF, kRed);
  EXPECT_EQ(SurfacePixel(screen, 640, 360) & 0xFFFFFF, kBlue);
  // Near the bar the cursor is cut at the picture's edge.
  mDisplay->MoveCursor(0, 300);
  EXPECT_EQ(SurfacePixel(screen, 160, 360) & 0xFFFFFF, kRed);
  EXPECT_EQ(SurfacePixel(screen, 159, 360) & 0xFFFFFF, 0u);
}

}  // namespace
}  // namespace Velk::Testing
