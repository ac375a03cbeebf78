// Day 1 of the built pack on both roads: the frame drawn without the menu backdrop's rows that the
// cafe's ground covers has the bytes of the frame drawn whole, every pixel, frame after frame while
// the steam and the sparkle move, and while the ground fades, when the board must claim nothing.
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "PackGame.h"
#include "cafe/QCBoard_Game3.h"
#include "graphics/DDInterface.h"
#include "platform/ScopedEnv.h"
#include "platform/clock/Clock.h"
#include "scene/QCItem.h"
#include "scene/QCItemPart.h"
#include "scene/QCZOrderManager.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Splash.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr uint32_t kLeftOver = 0xFF13579B;  // what the surface holds before each frame

class PackDayOneFrameTest : public PackTesting::PackGameTest, public ::testing::WithParamInterface<bool> {
 protected:
  PackDayOneFrameTest() : mRoad("VELK_FORCE_SOFTWARE", GetParam() ? "1" : nullptr) {}

  QCBoard_Game3& DayOne() {
    Start();
    EXPECT_EQ(mGame->mDDInterface->mIs3D, !GetParam());
    mGame->mSplash->SetVisible(false);
    QCBoard_Game3& board = *mGame->mBoard;
    board.StartLevelLoading(1, 0);
    board.JoinLevelLoading();
    board.OnLevelLoaded();
    board.mBriefing->Hide();
    return board;
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) {
      Velk::Clock::Advance(mGame->mFrameTime);
      mGame->RunLogicUpdate();
    }
  }
  // The draw surface's rows after a whole frame drawn over kLeftOver.
  std::vector<uint8_t> Frame(bool skipCovered) {
    IDirectDrawSurface* surface = mGame->mDDInterface->mDrawSurface;
    DDSURFACEDESC desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const size_t bytes = static_cast<size_t>(desc.lPitch) * desc.dwHeight;
    auto* pixels = static_cast<uint32_t*>(desc.lpSurface);
    std::fill(pixels, pixels + bytes / 4, kLeftOver);
    surface->Unlock(nullptr);
    Velk::WidgetManager& manager = *mGame->mWidgetManager;
    manager.mSkipCovered = skipCovered;
    manager.InvalidateAll();
    manager.DrawScreen(mGame.get());
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::vector<uint8_t> frame(static_cast<uint8_t*>(desc.lpSurface), static_cast<uint8_t*>(desc.lpSurface) + bytes);
    surface->Unlock(nullptr);
    return frame;
  }
  void ExpectSameFrames(const char* when) {
    const std::vector<uint8_t> skipped = Frame(true), whole = Frame(false);
    ASSERT_EQ(skipped.size(), whole.size());
    const auto first = std::mismatch(skipped.begin(), skipped.end(), whole.begin()).first;
    EXPECT_TRUE(first == skipped.end()) << when << ": byte " << (first - skipped.begin()) << " differs";
  }

  static QCItemPart& FirstDrawn(QCBoard_Game3& board) {
    for (QCItemPart* part : board.GetZOrder()->GetDrawOrder())
      if (part->mOwner->mVisible && part->IsImageReady()) return *part;
    throw std::logic_error("nothing drawn");
  }

  ScopedEnv mRoad;
};

TEST_P(PackDayOneFrameTest, TheGroundHidesTheBackdropWithEveryByteKept) {
  QCBoard_Game3& board = DayOne();
  const Velk::Rect ground = board.GetOpaqueArea();
  EXPECT_EQ(ground.mWidth, 800) << "the ground spans the screen";
  EXPECT_GT(ground.mHeight, 300);
  for (int frame = 0; frame < 6; ++frame) {
    Steps(23);  // the steam and the sparkle move on between frames
    ExpectSameFrames("playing");
  }
  // A ground that fades shows what lies under it: nothing is claimed.
  QCItemPart& floor = FirstDrawn(board);
  floor.SetAlpha(0.5f);
  EXPECT_EQ(board.GetOpaqueArea(), Velk::Rect());
  ExpectSameFrames("faded ground");
  floor.SetAlpha(1.0f);
  floor.mScale = 1.5f;
  EXPECT_EQ(board.GetOpaqueArea(), Velk::Rect());
  ExpectSameFrames("scaled ground");
}

INSTANTIATE_TEST_SUITE_P(Roads, PackDayOneFrameTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "MemoryRoad" : "ThreeDRoad";
                         });

}  // namespace
