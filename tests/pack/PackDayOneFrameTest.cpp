// Day 1 of the built pack on both roads: the frame drawn without the backdrop's rows that the
// ground covers has every byte of the frame drawn whole, while the steam and the sparkle move and
// while the ground fades or grows, when the board claims nothing.
#include <vector>

#include "PackGame.h"
#include "cafe/QCBoard_Game3.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "platform/ScopedEnv.h"
#include "platform/clock/Clock.h"
#include "scene/QCItemPart.h"
#include "scene/QCZOrderManager.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Splash.h"
#include "widgets/WidgetManager.h"

namespace {

class PackDayOneFrameTest : public PackTesting::PackGameTest, public ::testing::WithParamInterface<const char*> {
 protected:
  PackDayOneFrameTest() : mRoad("VELK_FORCE_SOFTWARE", GetParam()) {}
  // The draw surface after a frame drawn over a colour no frame has.
  std::vector<uint8_t> Frame(bool skipCovered) {
    IDirectDrawSurface* surface = mGame->mDDInterface->mDrawSurface;
    DDSURFACEDESC d;
    surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    std::fill_n(static_cast<uint32_t*>(d.lpSurface), d.lPitch / 4 * d.dwHeight, 0xFF13579Bu);
    surface->Unlock(nullptr);
    mGame->mWidgetManager->mSkipCovered = skipCovered;
    mGame->mWidgetManager->InvalidateAll();
    mGame->mWidgetManager->DrawScreen(mGame.get());
    surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(d.lpSurface);
    std::vector<uint8_t> frame(bytes, bytes + d.lPitch * d.dwHeight);
    surface->Unlock(nullptr);
    return frame;
  }

  ScopedEnv mRoad;
};

TEST_P(PackDayOneFrameTest, TheFrameWithoutTheBackdropUnderTheGroundHasTheWholeFramesBytes) {
  Start();
  mGame->mSplash->SetVisible(false);
  QCBoard_Game3& board = *mGame->mBoard;
  board.StartLevelLoading(1, 0);
  board.JoinLevelLoading();
  board.OnLevelLoaded();
  board.mBriefing->Hide();
  QCItemPart& ground = *board.GetZOrder()->GetDrawOrder().front();
  for (int frame = 0; frame < 8; ++frame) {
    for (int step = 0; step < 23; ++step, Velk::Clock::Advance(mGame->mFrameTime)) mGame->RunLogicUpdate();
    if (frame == 6) ground.SetAlpha(0.5f);
    if (frame == 7) ground.SetScale(1.5f);
    EXPECT_EQ(board.GetOpaqueArea(Velk::Graphics()).mWidth, frame < 6 ? 800 : 0);
    Velk::Graphics coloured, added;
    coloured.SetImageColorize(true);
    added.SetDrawMode(1);
    EXPECT_EQ(board.GetOpaqueArea(coloured).mWidth, 0) << "a colourised draw claims nothing";
    EXPECT_EQ(board.GetOpaqueArea(added).mWidth, 0) << "an added draw claims nothing";
    EXPECT_TRUE(Frame(true) == Frame(false)) << "frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, PackDayOneFrameTest, ::testing::Values(nullptr, "1"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return info.param ? "MemoryRoad" : "ThreeDRoad";
                         });

}  // namespace
