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

// An 800 x 600 client in a frame of 3 pixels with a 19-pixel caption: 806 x 625 outside.
constexpr RECT kClient{0, 0, 800, 600};
constexpr RECT kOuter{-3, -22, 803, 603};

TEST(WindowPlacementTest, CentredAcrossAndOnTheGoldenSectionDown) {
  RECT work{0, 0, 1024, 738};
  POINT at = PlaceWindow(work, kClient, kOuter, -1, -1);
  EXPECT_EQ(at.x, 109);
  EXPECT_EQ(at.y, 43);  // trunc(0.382 x 113)
  RECT shifted{100, 30, 1124, 768};
  at = PlaceWindow(shifted, kClient, kOuter, -1, -1);
  EXPECT_EQ(at.x, 209);
  EXPECT_EQ(at.y, 30 + 43);
}

TEST(WindowPlacementTest, APreferredPositionIsKeptInsideTheWorkArea) {
  RECT work{0, 0, 1024, 738};
  POINT at = PlaceWindow(work, kClient, kOuter, -20, 50);
  EXPECT_EQ(at.x, 4);
  EXPECT_EQ(at.y, 50);
  at = PlaceWindow(work, kClient, kOuter, 300, 200);
  EXPECT_EQ(at.x, 1024 - 4 - 806);
  EXPECT_EQ(at.y, 738 - 4 - 625);
  at = PlaceWindow(work, kClient, kOuter, 100, 0);
  EXPECT_EQ(at.x, 100);
  EXPECT_EQ(at.y, 4);
}

TEST(WindowPlacementTest, AWindowLargerThanTheWorkAreaKeepsItsClientAreaOnIt) {
  // An 800 x 600 screen: the golden section would put the top at trunc(0.382 x -25) = -9, the
  // client at 13 and its bottom 13 pixels off the screen.
  RECT screen{0, 0, 800, 600};
  POINT at = PlaceWindow(screen, kClient, kOuter, -1, -1);
  EXPECT_EQ(at.x, -3);
  EXPECT_EQ(at.y, -22);
  at = PlaceWindow(screen, kClient, kOuter, 300, 200);
  EXPECT_EQ(at.x, -3);
  EXPECT_EQ(at.y, -22);
  // Room for the client but not the frame: 30 + trunc(0.382 x -15) = 25 would end the client at
  // 647, so it is moved up to end on the work area's bottom.
  RECT panel{0, 30, 1024, 640};
  at = PlaceWindow(panel, kClient, kOuter, -1, -1);
  EXPECT_EQ(at.y, 640 - 600 - 22);
  // A client larger than the work area starts at the work area's corner.
  RECT small{10, 20, 640, 480};
  at = PlaceWindow(small, kClient, kOuter, -1, -1);
  EXPECT_EQ(at.x, 10 - 3);
  EXPECT_EQ(at.y, 20 - 22);
}

// The pixels a picture drawn at (x, y) over dark grey leaves on the draw surface, row by row.
std::vector<uint32_t> DrawnOverGrey(CountingApp& app, MemoryImage& picture, int x, int y) {
  Graphics g(app.mDDInterface->GetScreenImage());
  g.SetColor(Color(9, 9, 9));
  g.FillRect(x, y, picture.mWidth, picture.mHeight);
  g.DrawImage(&picture, x, y);
  std::vector<uint32_t> out;
  DDSURFACEDESC d{};
  IDirectDrawSurface* surface = app.mDDInterface->mDrawSurface;
  if (surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return out;
  for (int row = y; row < y + picture.mHeight; ++row) {
    const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(d.lpSurface) + row * d.lPitch);
    out.insert(out.end(), line + x, line + x + picture.mWidth);
  }
  surface->Unlock(nullptr);
  return out;
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
  // A fresh desktop of that size without panels; the application made before goes first.
  void UseDesktop(int width, int height) {
    app_.reset();
    auto backend = std::make_unique<HeadlessBackend>();
    DisplayInfo info = backend->Display();
    info.desktop.width = width;
    info.desktop.height = height;
    info.workArea = RECT{0, 0, width, height};
    backend->SetDisplay(info);
    headless_ = backend.get();
    Backend::Install(std::move(backend));
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

// Window pixels to the game's through the display's presentation rectangle: (x - left) x 800 /
// width and (y - top) x 600 / height, truncated toward zero.
TEST_F(ScreenModeTest, FullScreenMapsTheMouseThroughThePictureOnEveryDesktop) {
  struct Point {
    POINT window;
    POINT game;
  };
  struct Desktop {
    int width;
    int height;
    Rect picture;
    std::vector<Point> points;
  };
  const Desktop desktops[] = {
      {1024, 768, Rect(0, 0, 1024, 768), {{{512, 384}, {400, 300}}, {{1023, 767}, {799, 599}}}},
      {1280,
       720,
       Rect(160, 0, 960, 720),
       {{{640, 360}, {400, 300}}, {{1119, 719}, {799, 599}}, {{100, 360}, {-50, 300}}}},
      {1920,
       1080,
       Rect(240, 0, 1440, 1080),
       {{{960, 540}, {400, 300}}, {{1679, 1079}, {799, 599}}, {{0, 0}, {-133, 0}}}},
      {1280, 1024, Rect(0, 32, 1280, 960), {{{640, 512}, {400, 300}}, {{1279, 991}, {799, 599}}, {{10, 10}, {6, -13}}}},
  };
  for (const Desktop& d : desktops) {
    SCOPED_TRACE(std::to_string(d.width) + "x" + std::to_string(d.height));
    UseDesktop(d.width, d.height);
    DDrawSettings::Get().keepDesktopMode = true;
    CountingApp& app = StartReal(false);
    ASSERT_NE(app.mDDInterface, nullptr);
    EXPECT_EQ(app.mDDInterface->mPresentationRect, d.picture);
    for (const Point& p : d.points) {
      int x = p.window.x;
      int y = p.window.y;
      app.mWidgetManager->RemapMouse(x, y);
      EXPECT_EQ(x, p.game.x) << p.window.x << "," << p.window.y;
      EXPECT_EQ(y, p.game.y) << p.window.x << "," << p.window.y;
      // The software cursor goes where the mouse maps to.
      const POINT cursor = app.mDDInterface->ToDrawBuffer(p.window.x, p.window.y);
      EXPECT_EQ(cursor.x, p.game.x);
      EXPECT_EQ(cursor.y, p.game.y);
    }
  }
}

TEST_F(ScreenModeTest, AWindowGivenAnotherSizeGetsANewPictureRectangleAndMouseMapping) {
  CountingApp& app = StartReal(true);
  struct Client {
    int width;
    int height;
    Rect picture;
    POINT window;
    POINT game;
  };
  const Client clients[] = {
      // 800 x 700 / 600 = 933 wide at (1000 - 933) / 2 = 33; (499 - 33) x 800 / 933 = 399.
      {1000, 700, Rect(33, 0, 933, 700), {499, 350}, {399, 300}},
      // Smaller than the picture: 533 wide at 53; 532 x 800 / 533 = 798, 399 x 600 / 400 = 598.
      {640, 400, Rect(53, 0, 533, 400), {585, 399}, {798, 598}},
      {800, 600, Rect(0, 0, 800, 600), {799, 599}, {799, 599}},
  };
  for (const Client& c : clients) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    headless_->InjectResize(app.mHWnd, c.width, c.height);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    app.ProcessDeferredInput(false);
    EXPECT_EQ(app.mDDInterface->mPresentationRect, c.picture);
    EXPECT_EQ(app.mWidgetManager->mImage, static_cast<Image*>(app.mDDInterface->GetScreenImage()));
    int x = c.window.x;
    int y = c.window.y;
    app.mWidgetManager->RemapMouse(x, y);
    EXPECT_EQ(x, c.game.x);
    EXPECT_EQ(y, c.game.y);
  }
}

TEST_F(ScreenModeTest, OnAScreenOfThePicturesSizeTheWindowsClientAreaFillsIt) {
  UseDesktop(800, 600);
  CountingApp& app = StartReal(true);
  POINT corner{0, 0};
  ClientToScreen(app.mHWnd, &corner);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
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
    pixels[i] =
        (i % 3 == 0 ? 0xFF000000u : static_cast<uint32_t>(i * 37 % 256) << 24) | static_cast<uint32_t>(i * 0x030507u);
  MemoryImage image(&app);
  image.SetPixels(pixels.data(), 12, 7, true);
  image.DropBits();  // only the request until the textures exist
  ASSERT_NE(image.mBits, nullptr);
  auto drawn = [&](MemoryImage& picture) { return DrawnOverGrey(app, picture, 3, 2); };
  // Opaque pixels land unchanged on either road.
  auto shows = [&] {
    const std::vector<uint32_t> out = drawn(image);
    if (out.size() != pixels.size()) return false;
    for (size_t i = 0; i < pixels.size(); i += 3)
      if ((out[i] & 0xFFFFFFu) != (pixels[i] & 0xFFFFFFu)) return false;
    return true;
  };
  auto bits = [&] { return std::vector<uint32_t>(image.GetArgbBits(), image.GetArgbBits() + pixels.size()); };
  EXPECT_TRUE(shows());
  EXPECT_EQ(image.mBits, nullptr);

  app.SwitchScreenMode(false);
  ASSERT_TRUE(app.Is3DModeOn());
  EXPECT_TRUE(shows());
  EXPECT_EQ(image.mBits, nullptr);
  EXPECT_EQ(bits(), pixels);

  // The display's premultiplied format cannot hold translucent pixels exactly, so on the memory road
  // the picture keeps them: drawn, it gives the bytes of a copy that was never dropped, and the
  // 3-D road gets it back unchanged.
  app.SwitchScreenMode(true, false, false);
  ASSERT_FALSE(app.Is3DModeOn());
  EXPECT_TRUE(shows());
  EXPECT_EQ(bits(), pixels);
  MemoryImage fresh(&app);
  fresh.SetPixels(pixels.data(), 12, 7, true);
  EXPECT_EQ(drawn(image), drawn(fresh));

  app.SwitchScreenMode(true, true, false);
  ASSERT_TRUE(app.Is3DModeOn());
  EXPECT_TRUE(shows());
  EXPECT_EQ(bits(), pixels);
}

// An opaque picture allowed 5-6-5 textures (and a picture that prefers 4-4-4-4 ones) cannot have its
// pixels back from them: it keeps them, and the memory road shows them as they were.
TEST_F(ScreenModeTest, OpaquePicturesKeepPixelsTheirTexturesCannotGiveBack) {
  CountingApp& app = StartReal(true);
  ASSERT_NE(app.mDDInterface, nullptr);
  if (!app.Is3DModeOn()) GTEST_SKIP() << "display started without 3-D";
  std::vector<uint32_t> pixels(9 * 5);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x050301u + 0x010101u);
  MemoryImage opaque(&app);
  opaque.mTextureFlags = 0;
  opaque.SetPixels(pixels.data(), 9, 5, true);
  pixels[7] &= 0x80FFFFFFu;
  MemoryImage translucent(&app);
  translucent.mTextureFlags = 4;
  translucent.SetPixels(pixels.data(), 9, 5, true);
  for (MemoryImage* image : {&opaque, &translucent}) {
    image->DropBits();
    Graphics(app.mDDInterface->GetScreenImage()).DrawImage(image, 1, 1);
    ASSERT_NE(image->mTextureData, nullptr);
    EXPECT_NE(image->mBits, nullptr);
  }
  app.SwitchScreenMode(true, false, false);
  ASSERT_FALSE(app.Is3DModeOn());
  EXPECT_EQ(std::vector<uint32_t>(translucent.GetArgbBits(), translucent.GetArgbBits() + pixels.size()), pixels);
  pixels[7] |= 0xFF000000u;
  EXPECT_EQ(std::vector<uint32_t>(opaque.GetArgbBits(), opaque.GetArgbBits() + pixels.size()), pixels);
}

// Flat pictures whose pixels were packed before their first draw (as the day's animation sheets are)
// draw as pictures that never were, on both roads and after a switch to full screen and of the road;
// one that the 3-D road holds as 5-6-5 textures keeps its pixels packed, and every pixel comes back.
TEST_F(ScreenModeTest, PackedPicturesShowAgainAfterModeAndRoadSwitches) {
  CountingApp& app = StartReal(true);
  ASSERT_NE(app.mDDInterface, nullptr);
  if (!app.Is3DModeOn()) GTEST_SKIP() << "display started without 3-D";
  std::vector<uint32_t> sheet(40 * 12, 0x00FFFFFFu);
  for (size_t i = 40; i < 200; ++i) sheet[i] = i < 120 ? 0xFF336699u : 0x80FF8040u;
  sheet[300] = 0x40010203u;
  std::vector<uint32_t> panel(40 * 12, 0xFF204060u);
  for (size_t i = 100; i < 180; ++i) panel[i] = 0xFFF0E0D1u;
  MemoryImage translucent(&app);
  translucent.SetPixels(sheet.data(), 40, 12, true);
  MemoryImage opaque(&app);
  opaque.mTextureFlags = 0;  // 5-6-5 textures allowed
  opaque.SetPixels(panel.data(), 40, 12, true);
  struct Case {
    MemoryImage& image;
    const std::vector<uint32_t>& pixels;
  };
  const Case cases[] = {{translucent, sheet}, {opaque, panel}};
  for (const Case& c : cases) {
    c.image.DropBits();
    EXPECT_EQ(c.image.mBits, nullptr);
    EXPECT_NE(c.image.mPackedBits, nullptr);
  }
  auto showsAsNew = [&](const Case& c) {
    MemoryImage fresh(&app);
    fresh.mTextureFlags = c.image.mTextureFlags;
    fresh.SetPixels(c.pixels.data(), 40, 12, true);
    const std::vector<uint32_t> expected = DrawnOverGrey(app, fresh, 5, 4);
    return !expected.empty() && DrawnOverGrey(app, c.image, 5, 4) == expected;
  };
  auto bits = [&](const Case& c) {
    return std::vector<uint32_t>(c.image.GetArgbBits(), c.image.GetArgbBits() + c.pixels.size());
  };
  for (const Case& c : cases) EXPECT_TRUE(showsAsNew(c));
  EXPECT_EQ(translucent.mBits, nullptr);
  EXPECT_EQ(translucent.mPackedBits, nullptr);  // its textures hold it
  EXPECT_EQ(opaque.mBits, nullptr);
  EXPECT_NE(opaque.mPackedBits, nullptr);

  for (bool windowed : {false, true}) {
    app.SwitchScreenMode(windowed);
    ASSERT_TRUE(app.Is3DModeOn());
    for (const Case& c : cases) {
      EXPECT_TRUE(showsAsNew(c)) << windowed;
      EXPECT_EQ(bits(c), c.pixels) << windowed;
    }
  }
  for (bool threeD : {false, true}) {
    app.SwitchScreenMode(true, threeD, false);
    ASSERT_EQ(app.Is3DModeOn(), threeD);
    for (const Case& c : cases) {
      EXPECT_TRUE(showsAsNew(c)) << threeD;
      EXPECT_EQ(bits(c), c.pixels) << threeD;
    }
  }
}

}  // namespace
}  // namespace Velk::Testing
