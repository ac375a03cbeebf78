// The rows of the screen that a widget drawn later covers opaquely are left undrawn beneath it:
// which widgets count as covering, how their rows join, and a widget covered whole is not drawn.
#include <gtest/gtest.h>

#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class CoverTest : public ::testing::Test, public WidgetFixtureBase {
 protected:
  CoverTest() { mManager.mImage = &mScreen; }
  // Every widget drawn once, as each frame of a running game draws them.
  Log Frame() {
    mManager.InvalidateAll();
    mManager.DrawScreen(&mHost);
    EXPECT_EQ(mScreen.mHiddenRows.bottom, mScreen.mHiddenRows.top) << "the screen is left without hidden rows";
    return TakeLog();
  }

  RecordingImage mScreen{800, 600};
};

TEST_F(CoverTest, FullWidthOpaqueRowsOfTheWidgetsInFrontAreLeftUndrawnBehind) {
  LogWidget* back = Make("back", 0, 0, 800, 600);
  LogWidget* band = Make("band", 0, 100, 800, 300);
  LogWidget* low = Make("low", 0, 450, 800, 150);
  band->mOpaque = Rect(0, 10, 800, 200);  // its own coordinates: screen rows 110 to 309
  EXPECT_EQ((Log{"back:draw hiding 110,310", "band:draw", "low:draw"}), Frame());
  low->mOpaque = Rect(0, 0, 800, 100);  // rows 450 to 549, apart from the band's and fewer
  EXPECT_EQ((Log{"back:draw hiding 110,310", "band:draw hiding 450,550", "low:draw"}), Frame());
  band->mOpaque = Rect(0, 10, 800, 400);     // held to its bounds: rows 110 to 399
  low->mOpaque = Rect(-10, -140, 820, 400);  // held to its bounds: rows 450 to 599
  EXPECT_EQ((Log{"back:draw hiding 110,400", "band:draw hiding 450,600", "low:draw"}), Frame());
  band->mHeight = 350;
  band->mOpaque = Rect(0, 0, 800, 350);  // rows 100 to 449 meet the low ones
  EXPECT_EQ((Log{"back:draw hiding 100,600", "band:draw hiding 450,600", "low:draw"}), Frame());
  band->mY = 0;
  band->mHeight = 450;
  band->mOpaque = Rect(0, 0, 800, 450);  // with the low rows the whole screen: back is not drawn
  EXPECT_EQ((Log{"band:draw hiding 450,600", "low:draw"}), Frame());
  EXPECT_FALSE(back->mDirty);
}

TEST_F(CoverTest, OnlyWidgetsDrawnThisFrameAcrossTheWholeWidthCover) {
  LogWidget* back = Make("back", 0, 0, 800, 600);
  LogWidget* front = Make("front", 0, 0, 800, 600);
  front->mOpaque = Rect(1, 0, 799, 300);  // a column short
  EXPECT_EQ((Log{"back:draw", "front:draw"}), Frame());
  front->mOpaque = Rect(0, 0, 800, 300);
  mManager.mSkipCovered = false;
  EXPECT_EQ((Log{"back:draw", "front:draw"}), Frame());
  mManager.mSkipCovered = true;
  front->mWidgetFlagsMod = WidgetFlagsChange(0, WidgetFlag::Draw);  // walked, not drawn
  EXPECT_EQ((Log{"back:draw"}), Frame());
  front->mWidgetFlagsMod = WidgetFlagsChange();
  front->mVisible = false;
  EXPECT_EQ((Log{"back:draw"}), Frame());
  front->mVisible = true;
  ClearDirty();
  back->mDirty = true;  // the front keeps last frame's pixels: they may not be drawn over
  mManager.DrawScreen(&mHost);
  EXPECT_EQ((Log{"back:draw"}), TakeLog());
  mManager.SetMouseRects(Rect(0, 50, 800, 600), Rect(0, 0, 800, 600));  // widgets drawn 50 rows up
  EXPECT_EQ((Log{"back:draw hiding 0,250", "front:draw"}), Frame());
}

}  // namespace
