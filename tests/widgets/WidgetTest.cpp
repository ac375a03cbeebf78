#include <gtest/gtest.h>

#include <type_traits>

#include "platform/window/WinUser.h"
#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class WidgetBasics : public ::testing::Test, public WidgetFixtureBase {};

}  // namespace

TEST_F(WidgetBasics, BoundsAndVisibilityMarkTheRightAreas) {
  LogWidget* below = Make("below", 0, 0, 100, 100);
  LogWidget* w = Make("w", 10, 10, 20, 20);
  LogWidget* above = Make("above", 15, 15, 20, 20);
  ClearDirty();
  w->SetBounds(10, 10, 20, 20);
  EXPECT_FALSE(mManager.mDirty);
  EXPECT_FALSE(w->mDirty);

  w->SetVisible(false);  // what lay under it is redrawn
  EXPECT_TRUE(below->mDirty);
  EXPECT_TRUE(above->mDirty);
  ClearDirty();
  w->SetVisible(true);  // only its own area and what lies above
  EXPECT_TRUE(w->mDirty);
  EXPECT_TRUE(above->mDirty);
  EXPECT_FALSE(below->mDirty);

  ClearDirty();
  w->Move(50, 50);  // old area in full, new one too
  EXPECT_TRUE(below->mDirty);
  EXPECT_EQ(Rect(50, 50, 20, 20), w->GetRect());
}

TEST_F(WidgetBasics, ReenablingUnderAStillPointerEntersAtOnce) {
  LogWidget* w = Make("w", 10, 10, 20, 20);
  w->SetDisabled(true);
  mManager.DispatchMouseMove(15, 16);
  EXPECT_TRUE(TakeLog().empty());  // a disabled widget is not hit
  w->SetDisabled(false);
  EXPECT_EQ((Log{"w:enter", "w:move 5,6"}), TakeLog());
  EXPECT_EQ(w, mManager.mOverWidget);
  w->SetDisabled(true);
  EXPECT_EQ((Log{"w:leave"}), TakeLog());
  EXPECT_EQ(nullptr, mManager.mOverWidget);
}

TEST_F(WidgetBasics, TabMovesTheFocusAlongTheLinks) {
  LogWidget* a = Make("a", 0, 0, 10, 10);
  LogWidget* b = Make("b", 20, 0, 10, 10);
  a->mTabNext = b;
  mManager.SetFocus(a);
  EXPECT_EQ((Log{"a:focus"}), TakeLog());
  mManager.DispatchKeyDown(VK_TAB);
  EXPECT_EQ((Log{"a:keydown 9", "a:blur", "b:focus"}), TakeLog());
  mManager.DispatchKeyDown(VK_SHIFT);
  mManager.DispatchKeyDown(VK_TAB);  // Shift+Tab without a link: the focus stays
  EXPECT_EQ(b, mManager.mFocusWidget);
  b->mTabPrev = a;
  mManager.DispatchKeyDown(VK_TAB);
  EXPECT_EQ(a, mManager.mFocusWidget);
}

TEST_F(WidgetBasics, ClickCodesSplitIntoButtonAndCount) {
  LogWidget* w = Make("w", 0, 0, 10, 10);
  w->MouseDown(1, 2, -2);
  w->MouseDown(1, 2, 3);
  w->MouseDown(1, 2, 2);
  w->MouseUp(3, 4, -1);
  EXPECT_EQ((Log{"w:down 1,2 b1 c2", "w:down 1,2 b2 c1", "w:down 1,2 b0 c2", "w:up 3,4", "w:up 3,4 b1 c1"}), TakeLog());
}

TEST_F(WidgetBasics, ColourTable) {
  Widget w;
  static_assert(std::is_const_v<std::remove_reference_t<decltype(w.GetColor(0))>>,
                "the shared fall-back colour must not be writable");
  EXPECT_EQ(Color::Black, w.GetColor(3));
  w.SetColor(2, Color(9, 8, 7, 6));
  EXPECT_EQ(Color(0, 0, 0, 255), w.GetColor(1, Color::White));  // grown with opaque black
}

TEST_F(WidgetBasics, DigitsAndTheNumberStrip) {
  Widget w;
  EXPECT_EQ(1, w.CountDigits(0));
  EXPECT_EQ(1, w.CountDigits(9));
  EXPECT_EQ(2, w.CountDigits(10));
  EXPECT_EQ(1, w.CountDigits(-500));
  EXPECT_EQ(10, w.CountDigits(2147483647));

  RecordingImage screen(200, 100);
  RecordingImage strip(50, 7);  // cells of 5
  Graphics g(&screen);
  w.DrawNumberFromStrip(&g, 0, 10, 20, &strip, 2);
  EXPECT_EQ((std::vector<std::string>{"blit 0,0,5,7 255,255,255,255 at 10,20"}), screen.mCalls);
  screen.mCalls.clear();
  w.DrawNumberFromStrip(&g, 92, 10, 20, &strip, 2);
  EXPECT_EQ(
      (std::vector<std::string>{"blit 45,0,5,7 255,255,255,255 at 10,20", "blit 10,0,5,7 255,255,255,255 at 17,20"}),
      screen.mCalls);
}

TEST_F(WidgetBasics, CentredLinesReportTheirRectangles) {
  TextTestFont font;  // advance 10, ascent 8, height 12
  RecordingImage screen(200, 100);
  Graphics g(&screen);
  g.SetFont(&font);
  Widget w;
  w.mWidth = 101;
  EXPECT_EQ(Rect(30, 12, 40, 12), w.DrawCenteredLine(&g, 20, L"abcd"));
  EXPECT_EQ(30, font.mDrawn[0].x);
  font.mDrawn.clear();
  const Rect r = w.DrawShadowedCenteredLine(&g, 20, L"abcd", Color(1, 1, 1), Color(2, 2, 2), POINT{-2, 3});
  EXPECT_EQ(Rect(28, 12, 42, 15), r);
  ASSERT_EQ(2u, font.mDrawn.size());
  EXPECT_EQ(28, font.mDrawn[0].x);
  EXPECT_EQ(23, font.mDrawn[0].y);
  EXPECT_EQ(Color(2, 2, 2), font.mDrawn[0].color);
  EXPECT_EQ(Color(1, 1, 1), font.mDrawn[1].color);
}
