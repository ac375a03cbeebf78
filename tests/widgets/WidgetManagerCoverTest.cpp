// The rows of the screen that widgets drawn later cover opaquely are left undrawn beneath them.
#include <gtest/gtest.h>

#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class CoverTest : public ::testing::Test, public WidgetFixtureBase {
 protected:
  CoverTest() { mManager.mImage = &mScreen; }
  Log Frame() {
    mManager.InvalidateAll();
    mManager.DrawScreen(&mHost);
    return TakeLog();
  }

  RecordingImage mScreen{800, 600};
};

TEST_F(CoverTest, OnlyWholeRowsThatWidgetsDrawnLaterCoverAreLeftAndAWidgetCoveredWholeIsNotDrawn) {
  LogWidget* back = Make("back", 0, 0, 800, 600);
  LogWidget* top = Make("top", 0, 0, 800, 100);
  LogWidget* low = Make("low", 0, 100, 800, 500);
  top->mOpaque = Rect(0, 0, 800, 150);    // held to its bounds: rows 0 to 99
  low->mOpaque = Rect(0, 100, 800, 150);  // rows 200 to 349: apart from those, and more
  EXPECT_EQ((Log{"back:draw hiding 200,350", "top:draw hiding 200,350", "low:draw"}), Frame());
  low->mOpaque = Rect(0, 0, 800, 500);  // rows 100 to 599 meet the top ones: back is hidden whole
  EXPECT_EQ((Log{"top:draw hiding 100,600", "low:draw"}), Frame());
  EXPECT_FALSE(back->mDirty);
  low->mOpaque = Rect(1, 0, 799, 500);  // a column short
  EXPECT_EQ((Log{"back:draw hiding 0,100", "top:draw", "low:draw"}), Frame());
  low->mOpaque = Rect(0, 0, 800, 500);
  low->mWidgetFlagsMod = WidgetFlagsChange(0, WidgetFlag::Draw);  // walked, not drawn
  EXPECT_EQ((Log{"back:draw hiding 0,100", "top:draw"}), Frame());
  ClearDirty();
  back->mDirty = true;  // the others keep last frame's pixels and draw nothing over it
  mManager.DrawScreen(&mHost);
  EXPECT_EQ((Log{"back:draw"}), TakeLog());
  EXPECT_EQ(mScreen.mHiddenRows.top, mScreen.mHiddenRows.bottom);
}

}  // namespace
