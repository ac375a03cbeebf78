#include <atomic>
#include <chrono>
#include <thread>

#include "DisplayTestKit.h"
#include "platform/clock/Clock.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/ddraw/DDrawSettings.h"

namespace Velk::Testing {
namespace {

using DDInterfaceTest = DisplayTest;

struct FailureCase {
  const char* call;
  int skip;
  bool windowed;
  int result;
  const char* text;
};

TEST_F(DDInterfaceTest, EveryFailingStepGivesItsResultAndText) {
  const FailureCase cases[] = {
      {"DirectDrawCreateEx", 0, true, 2, "DirectDrawCreateEx: DDERR_INVALIDOBJECT"},
      {"QueryInterface", 0, true, 2, "QueryrInterface IID_IDirectDraw: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 0, true, 3, "CreateSurface Windowed Primary: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 1, true, 3, "CreateSurface Windowed DrawSurface: DDERR_INVALIDOBJECT"},
      {"CreateClipper", 0, true, 1, "CreateClipper Windowed: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 2, true, 3, "CreateSurface OldCursorArea: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 3, true, 3, "CreateSurface NewCursorArea: DDERR_INVALIDOBJECT"},
      {"SetCooperativeLevel", 0, false, 4, "SetCooperativeLevel FullScreen: DDERR_INVALIDOBJECT"},
      {"SetDisplayMode", 0, false, 5, "SetDisplayMode FullScreen: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 0, false, 3, "CreateSurface FullScreen Primary: DDERR_INVALIDOBJECT"},
      {"GetAttachedSurface", 0, false, 3, "GetAttachedSurface: DDERR_INVALIDOBJECT"},
      {"CreateSurface", 1, false, 3, "CreateSurface FullScreen DrawSurface: DDERR_INVALIDOBJECT"},
      {"CreateClipper", 0, false, 1, "CreateClipper FullScreen: DDERR_INVALIDOBJECT"},
  };
  for (const FailureCase& c : cases) {
    DDrawSettings::Reset();
    MakeDisplay(false);
    DDrawFaults::Fail(c.call, DDERR_INVALIDOBJECT, c.skip);
    EXPECT_EQ(mDisplay->Init(mWindow, c.windowed), c.result) << c.call << " " << c.skip;
    EXPECT_EQ(mDisplay->mErrorString, c.text);
    EXPECT_FALSE(mDisplay->mInitialized);
    EXPECT_FALSE(mDisplay->Present(nullptr));
  }
  // A second Init after a failure starts clean.
  DDrawSettings::Reset();
  EXPECT_EQ(mDisplay->Init(mWindow, true), 0);
}

TEST_F(DDInterfaceTest, OlderEntryPointAndWrongDepthsAndRendererFailures) {
  ModuleTable::HideEntry("ddraw.dll", "DirectDrawCreateEx");
  DDrawFaults::Fail("DirectDrawCreate", DDERR_OUTOFVIDEOMEMORY);
  MakeDisplay(false);
  EXPECT_EQ(mDisplay->Init(mWindow, true), 2);
  EXPECT_EQ(mDisplay->mErrorString, "DirectDrawCreate: DDERR_OUTOFVIDEOMEMORY");
  EXPECT_EQ(mDisplay->Init(mWindow, true), 0);
  EXPECT_EQ(mDisplay->mDD7, nullptr);
  ModuleTable::ShowAll();

  for (int bits : {24, 8}) {
    EXPECT_EQ(Start(bits), 6) << bits;
    EXPECT_EQ(DDInterface::ResultName(6), "RESULT_INVALID_COLORDEPTH");
  }
  DDrawSettings::Get().desktopBits = 32;
  MakeDisplay(true);
  mRenderer->mInitOk = false;
  EXPECT_EQ(mDisplay->Init(mWindow, true), 7);
  EXPECT_EQ(mDisplay->mErrorString, "3D init error: no device");
  EXPECT_EQ(DDInterface::ResultName(7), "RESULT_UNKNOWN");
  EXPECT_EQ(DDInterface::ResultName(0), "RESULT_OK");
}

TEST_F(DDInterfaceTest, FullScreenAspect) {
  SetDesktop(1280, 1024);
  ASSERT_EQ(Start(32, true, false), 0);
  EXPECT_FALSE(mDisplay->mIsAspectCorrected);
  EXPECT_EQ(mDisplay->mDisplayWidth, 800);
  EXPECT_EQ(mDisplay->mPresentationRect, Rect(0, 0, 800, 600));

  SetDesktop(1680, 1050);
  ASSERT_EQ(Start(32, true, false), 0);
  EXPECT_TRUE(mDisplay->mIsAspectCorrected);
  EXPECT_EQ(mDisplay->mDisplayWidth, 1680);
  // 800 x 1050 / 600 = 1400 wide, centred.
  EXPECT_EQ(mDisplay->mPresentationRect, Rect(140, 0, 1400, 1050));
  EXPECT_EQ(DDrawSurface::From(mDisplay->mPrimarySurface)->Width(), 1680);

  mHost.mWidenAspect = true;
  ASSERT_EQ(Start(32, true, false), 0);
  EXPECT_EQ(mDisplay->mWidth, 960);
  EXPECT_EQ(mDisplay->mPresentationRect, Rect(0, 0, 1680, 1050));
  mHost.mWidenAspect = false;

  ASSERT_EQ(Start(32, false, false), 0);
  EXPECT_FALSE(mDisplay->mIsAspectCorrected);
  EXPECT_EQ(mDisplay->mPresentationRect, Rect(0, 0, 800, 600));
}

TEST_F(DDInterfaceTest, WindowedForcedAspectCentresThePicture) {
  mHost.mForceAspect = true;
  mHost.mForcedAspect.Set(16, 9);
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(mDisplay->mIsAspectCorrected);
  // 16 x 600 / 9 = 1066 wide; the picture keeps its size in the middle.
  EXPECT_EQ(mDisplay->mDisplayWidth, 1066);
  EXPECT_EQ(mDisplay->mPresentationRect, Rect(133, 0, 800, 600));
}

TEST_F(DDInterfaceTest, RefreshRatesOutsideSixtyToAHundredAreClamped) {
  const struct {
    DWORD reported;
    int used;
    bool unreliable;
  } cases[] = {{0, 60, true}, {120, 100, true}, {85, 85, false}};
  for (const auto& c : cases) {
    DDrawSettings::Get().refreshRate = c.reported;
    mHost.mRefreshUnreliable = false;
    MakeDisplay(false);
    ASSERT_EQ(mDisplay->Init(mWindow, true), 0);
    EXPECT_EQ(mDisplay->mRefreshRate, c.used);
    EXPECT_EQ(mDisplay->mMillisecondsPerFrame, 1000 / c.used);
    EXPECT_EQ(mHost.mRefreshUnreliable, c.unreliable);
  }
  DDrawFaults::Fail("GetMonitorFrequency", DDERR_UNSUPPORTED);
  MakeDisplay(false);
  ASSERT_EQ(mDisplay->Init(mWindow, true), 0);
  EXPECT_EQ(mDisplay->mRefreshRate, 60);
}

TEST_F(DDInterfaceTest, PixelFormatShiftsAndTables) {
  ASSERT_EQ(Start(16), 0);
  EXPECT_EQ(mDisplay->mRedShift, 11);
  EXPECT_EQ(mDisplay->mGreenBits, 6);
  EXPECT_EQ(mDisplay->mBlueShift, 0);
  ASSERT_EQ(mDisplay->mGreenAddTable.size(), 127u);
  EXPECT_EQ(mDisplay->mGreenAddTable[62], 62u);
  EXPECT_EQ(mDisplay->mGreenAddTable[126], 63u);
  EXPECT_EQ(mDisplay->mRedAddTable.size(), 63u);
  // 128 x 0xF800 / 255 = 31867 = 0x7C7B.
  EXPECT_EQ(mDisplay->mRedConvTable[128], 0x7800u);
  EXPECT_EQ(mDisplay->mRedConvTable[255], 0xF800u);
  EXPECT_TRUE(DDInterface::sRgbOrder);

  DDrawSettings::Get().desktop555 = true;
  ASSERT_EQ(Start(16), 0);
  EXPECT_EQ(mDisplay->mRedShift, 10);
  EXPECT_EQ(mDisplay->mGreenBits, 5);
}

TEST_F(DDInterfaceTest, PresentShowsTheDrawBufferOnThePrimary) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(mDisplay->mVideoOnlyDraw, false);
  EXPECT_EQ(mDisplay->mSecondarySurface, nullptr);
  DDImage* screen = mDisplay->GetScreenImage();
  screen->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 255), 0);
  screen->FillRect(Rect(10, 20, 5, 5), Color(255, 0, 0), 0);
  const uint64_t frames = DDrawScreen::FrameCount();
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(DDrawScreen::FrameCount(), frames + 1);
  int w = 0;
  int h = 0;
  const std::vector<uint32_t> shown = DDrawScreen::Snapshot(&w, &h);
  ASSERT_EQ(w, 800);
  EXPECT_EQ(shown[0], 0x0000FEu);
  EXPECT_EQ(shown[22 * w + 12], 0xFE0000u);
  EXPECT_EQ(shown[599 * w + 799], 0x0000FEu);
}

TEST_F(DDInterfaceTest, VideoMemoryDrawingIsPresentedFromTheSecondarySurface) {
  ASSERT_EQ(Start(), 0);
  mDisplay->SetVideoMemoryDraw(true);
  FillSurface(mDisplay->mSecondarySurface, 0x00336699);
  FillSurface(mDisplay->mDrawSurface, 0x00FFFFFF);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 400, 300), 0x00336699u);
  // With an area only that part is shown.
  FillSurface(mDisplay->mSecondarySurface, 0x00000011);
  Rect area(10, 10, 5, 5);
  ASSERT_TRUE(mDisplay->Present(&area));
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 12, 12), 0x00000011u);
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 400, 300), 0x00336699u);
}

TEST_F(DDInterfaceTest, FullScreenPresentFlipsOrBlits) {
  ASSERT_EQ(Start(32, false, false), 0);
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, 800, 600), Color(0, 255, 0), 0);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 5, 5), 0x0000FE00u);
  mHost.mFlippedToGdi = true;
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, 800, 600), Color(255, 0, 0), 0);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 5, 5), 0x00FE0000u);
  DDrawFaults::Fail("Blt", DDERR_SURFACEBUSY);
  EXPECT_FALSE(mDisplay->Present(nullptr));
  EXPECT_EQ(mDisplay->mErrorString, "Redraw FullScreen Blt: DDERR_SURFACEBUSY");
}

TEST_F(DDInterfaceTest, ARendererErrorLosesOneFrameAndTurnsThreeDOff) {
  ASSERT_EQ(Start(32, true), 0);
  mRenderer->mError = "DrawPrimitive: DDERR_GENERIC";
  EXPECT_FALSE(mDisplay->Present(nullptr));
  EXPECT_FALSE(mDisplay->mIs3D);
}

// A beam that moves `step` lines a poll and a clock that moves 1 ms a poll.
struct Beam {
  DWORD line = 0;
  DWORD step = 40;
  DWORD height = 800;
  int polls = 0;
  HRESULT answer = DD_OK;
  int failAfter = -1;  // answer with an error from this poll on
};

class SplitBlitTest : public DisplayTest {
 protected:
  Beam mBeam;
  void SetUp() override {
    DisplayTest::SetUp();
    Clock::UseManual(1000);
    DDrawSettings::Get().scanLine = [this](DWORD* line) {
      Clock::Advance(1);
      const int poll = mBeam.polls++;
      if (mBeam.answer != DD_OK) return mBeam.answer;
      if (mBeam.failAfter >= 0 && poll >= mBeam.failAfter) return DDERR_GENERIC;
      mBeam.line = (mBeam.line + mBeam.step) % mBeam.height;
      *line = mBeam.line;
      return DD_OK;
    };
    mHost.mWaitForVSync = true;
  }
  void TearDown() override {
    DisplayTest::TearDown();
    Clock::UseReal();
  }
};

TEST_F(SplitBlitTest, AMovingBeamSplitsTheBlitAndClearsStrikes) {
  ASSERT_EQ(Start(), 0);
  mDisplay->mScanLineFailCount = 2;
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 255), 0);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(mDisplay->mScanLineFailCount, 0);
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 0, 0), 0xFEu);
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 799, 599), 0xFEu);
}

TEST_F(SplitBlitTest, ThreeFailedPollingsGiveUpTheBeam) {
  mBeam.answer = DDERR_UNSUPPORTED;
  ASSERT_EQ(Start(), 0);
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(mDisplay->Present(nullptr));
    EXPECT_EQ(mDisplay->mScanLineFailCount, i);
  }
  const int polls = mBeam.polls;
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(mBeam.polls, polls);
  // A beam stuck in the blank never arms the split: the budget runs out, one strike.
  mDisplay->mScanLineFailCount = 0;
  mBeam.answer = DDERR_VERTICALBLANKINPROGRESS;
  const DWORD start = GetTickCount();
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_EQ(mDisplay->mScanLineFailCount, 1);
  EXPECT_GE(TickDiff(GetTickCount(), start), 200);
}

TEST_F(SplitBlitTest, ABeamThatFailsAfterTheTopHalfStillFinishesTheFrame) {
  mBeam.failAfter = 3;
  ASSERT_EQ(Start(), 0);
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, 800, 600), Color(0, 255, 0), 0);
  const DWORD start = GetTickCount();
  ASSERT_TRUE(mDisplay->Present(nullptr));
  EXPECT_LE(TickDiff(GetTickCount(), start), 201);
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 0, 0), 0xFE00u);
  EXPECT_EQ(SurfacePixel(mDisplay->mPrimarySurface, 0, 599), 0xFE00u);
}

TEST_F(DDInterfaceTest, MovingTheCursorLeavesNoTrace) {
  ASSERT_EQ(Start(), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  for (int y = 0; y < 600; y += 8) screen->FillRect(Rect(0, y, 800, 4), Color(0, 0, 200), 0);
  ASSERT_TRUE(mDisplay->Present(nullptr));
  std::vector<uint32_t> background(300 * 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) background[y * 300 + x] = SurfacePixel(mDisplay->mPrimarySurface, x, y);

  MemoryImage cursor(&mHost);
  std::vector<uint32_t> arrow(10 * 10, 0xFFFF0000);
  arrow[0] = 0;
  cursor.SetPixels(arrow.data(), 10, 10, true);
  EXPECT_TRUE(mDisplay->SetCursorImage(&cursor));
  EXPECT_FALSE(mDisplay->SetCursorImage(&cursor));
  const int path[][2] = {{100, 100}, {130, 110}, {150, 150}, {149, 152}, {220, 40}, {200, 60}};
  for (const auto& p : path) mDisplay->MoveCursor(p[0], p[1]);
  // Only the cursor at (200, 60) may differ: its 10 x 10 image is centred there.
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 300; ++x) {
      const bool underCursor = x >= 195 && x < 205 && y >= 55 && y < 65;
      const uint32_t now = SurfacePixel(mDisplay->mPrimarySurface, x, y);
      if (underCursor) {
        if (!(x == 195 && y == 55)) {
          ASSERT_EQ(now & 0xFFFFFF, 0xFF0000u) << x << "," << y;
        }
      } else {
        ASSERT_EQ(now, background[y * 300 + x]) << x << "," << y;
      }
    }
  }
}

TEST_F(DDInterfaceTest, CursorThreadMovesWhileFramesArePresented) {
  ASSERT_EQ(Start(), 0);
  MemoryImage cursor(&mHost);
  std::vector<uint32_t> arrow(8 * 8, 0xFFFFFFFF);
  cursor.SetPixels(arrow.data(), 8, 8, true);
  mDisplay->SetCursorImage(&cursor);
  std::atomic<bool> stop{false};
  std::thread mover([&] {
    // The real cursor thread polls every 10 ms; a short pause keeps this one from starving the
    // presenting thread of the display lock.
    for (int i = 0; !stop; i = (i + 7) % 700) {
      mDisplay->MoveCursor(50 + i, 300);
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  });
  for (int frame = 0; frame < 30; ++frame) {
    mDisplay->GetScreenImage()->FillRect(Rect(0, 0, 800, 600), Color(0, 0, 100), 0);
    EXPECT_TRUE(mDisplay->Present(nullptr));
  }
  stop = true;
  mover.join();
  EXPECT_EQ(SurfacePixel(mDisplay->mDrawSurface, 0, 0), SurfacePixel(mDisplay->mDrawSurface, 400, 300));
}

class FakeTester : public DisplayCapabilityTest {
 public:
  std::string mReason;
  std::string mWarning;
  bool mNoStored = false;
  int* mRuns;
  explicit FakeTester(int* runs) : mRuns(runs) {}
  void Run(HWND, IDirectDraw7* dd, DWORD, DWORD) override {
    ++*mRuns;
    EXPECT_NE(dd, nullptr);
  }
  std::string GetFailureReason() override { return mReason; }
  std::string GetWarning() override { return mWarning; }
  bool NoStoredFailureReason() override { return mNoStored; }
};

TEST_F(DDInterfaceTest, ThreeDDecision) {
  const struct {
    bool requested;
    bool test;
    const char* reason;
    const char* warning;
    bool noStored;
    bool expect3D;
    int runs;
  } cases[] = {
      {true, false, "", "", false, true, 1},     {true, false, "old card", "", false, false, 1},
      {true, false, "", "slow", false, true, 1}, {true, false, "", "slow", true, false, 1},
      {false, true, "", "", false, true, 1},     {false, true, "too little memory", "", true, false, 1},
      {false, false, "", "", false, true, 0},
  };
  for (const auto& c : cases) {
    int runs = 0;
    mHost.m3DRequested = c.requested;
    mHost.m3DTestRequested = c.test;
    mHost.mTested = 0;
    MakeDisplay(true);
    mDisplay->mTesterFactory = [&runs, &c]() {
      auto tester = std::make_unique<FakeTester>(&runs);
      tester->mReason = c.reason;
      tester->mWarning = c.warning;
      tester->mNoStored = c.noStored;
      return tester;
    };
    ASSERT_EQ(mDisplay->Init(mWindow, true), 0);
    EXPECT_EQ(mDisplay->mIs3D, c.expect3D) << c.reason << c.warning << c.noStored;
    EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(mHost.mTested, c.noStored ? 1 : 0);
    // The test runs once per display.
    ASSERT_EQ(mDisplay->Init(mWindow, true), 0);
    EXPECT_EQ(runs, c.runs);
  }
}

TEST_F(DDInterfaceTest, VideoMemoryDrawMakesItsSurfaceOnlyWhenTurnedOn) {
  ASSERT_EQ(Start(), 0);
  mDisplay->SetVideoMemoryDraw(false);
  EXPECT_EQ(mDisplay->mSecondarySurface, nullptr);
  mDisplay->SetVideoMemoryDraw(true);
  ASSERT_NE(mDisplay->mSecondarySurface, nullptr);
  EXPECT_TRUE(mDisplay->GetScreenImage()->mNoLock);

  DDrawSettings::Get().videoMemoryTotal = 1000;
  ASSERT_EQ(Start(), 0);
  mDisplay->SetVideoMemoryDraw(true);
  EXPECT_FALSE(mDisplay->mVideoOnlyDraw);
  EXPECT_EQ(mDisplay->GetScreenImage()->mSurface, mDisplay->mDrawSurface);
}

}  // namespace
}  // namespace Velk::Testing
