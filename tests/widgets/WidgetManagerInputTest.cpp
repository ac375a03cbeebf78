#include <gtest/gtest.h>

#include <algorithm>

#include "platform/window/WinUser.h"
#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class Input : public ::testing::Test, public WidgetFixtureBase {};

}  // namespace

TEST_F(Input, PressReleaseAndDragStayWithTheHeldWidget) {
  LogWidget* a = Make("a", 0, 0, 100, 100);
  Make("b", 200, 0, 100, 100);
  mManager.DispatchMouseMove(10, 10);
  mManager.DispatchMouseDown(10, 10, 1);
  EXPECT_EQ((Log{"a:enter", "a:move 10,10", "a:down 10,10 b0 c1"}), TakeLog());
  EXPECT_TRUE(a->mIsDown);

  mManager.DispatchMouseMove(250, 20);  // over b: the drag goes to a, hover leaves a
  EXPECT_EQ((Log{"a:drag 250,20", "a:leave"}), TakeLog());
  mManager.DispatchMouseMove(50, 20);
  EXPECT_EQ((Log{"a:drag 50,20", "a:enter"}), TakeLog());
  mManager.DispatchMouseMove(260, 30);
  TakeLog();
  mManager.DispatchMouseUp(260, 30, 1);  // released over b
  EXPECT_EQ((Log{"a:up 260,30", "a:up 260,30 b0 c1", "b:enter", "b:move 60,30"}), TakeLog());
  EXPECT_EQ(nullptr, mManager.mLastDownWidget);
  EXPECT_FALSE(a->mIsDown);
}

TEST_F(Input, NestedWidgetsGetLocalCoordinatesForEveryHandler) {
  LogWidget* outer = Make("outer", 100, 200, 300, 300);
  outer->mMouseVisible = false;
  Make("inner", 10, 20, 50, 50, outer);
  mManager.DispatchMouseDown(115, 225, -1);
  mManager.DispatchMouseMove(120, 230);
  mManager.DispatchMouseUp(121, 231, -1);
  EXPECT_EQ((Log{"inner:enter", "inner:move 5,5", "inner:down 5,5 b1 c1", "inner:drag 10,10", "inner:up 11,11",
                 "inner:up 11,11 b1 c1", "inner:move 11,11"}),
            TakeLog());
}

// A container slid away from its bounds (its children with it) answers where it is drawn: the
// press, the drag and the release reach the child there, in the child's own coordinates, and the
// place it was laid out at answers no more.
TEST_F(Input, ASlidWidgetAnswersWhereItIsDrawn) {
  LogWidget* book = Make("book", 400, 200, 300, 300);
  book->mMouseVisible = false;
  LogWidget* button = Make("button", 10, 20, 50, 50, book);
  book->mShift = {-400, 30};
  EXPECT_EQ(button->AbsolutePos().x, 10);
  EXPECT_EQ(button->AbsolutePos().y, 250);
  mManager.DispatchMouseDown(415, 225, 1);
  EXPECT_TRUE(TakeLog().empty()) << "the place it was laid out at";
  mManager.DispatchMouseUp(415, 225, 1);
  mManager.DispatchMouseDown(15, 255, 1);
  mManager.DispatchMouseMove(20, 260);
  mManager.DispatchMouseUp(21, 261, 1);
  EXPECT_EQ((Log{"button:enter", "button:move 5,5", "button:down 5,5 b0 c1", "button:drag 10,10", "button:up 11,11",
                 "button:up 11,11 b0 c1", "button:move 11,11"}),
            TakeLog());
}

TEST_F(Input, ASecondButtonGoesToTheHeldWidget) {
  LogWidget* a = Make("a", 0, 0, 100, 100);
  Make("b", 200, 0, 100, 100);
  mManager.DispatchMouseDown(10, 10, 1);
  mManager.DispatchMouseDown(210, 10, -1);  // over b, yet a holds the mouse
  mManager.DispatchMouseUp(210, 10, 1);
  EXPECT_EQ(a, mManager.mLastDownWidget);
  mManager.DispatchMouseUp(210, 10, -1);
  EXPECT_EQ(nullptr, mManager.mLastDownWidget);
  const Log log = TakeLog();
  EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "a:down 210,10 b1 c1"));  // relative to the held one
  EXPECT_EQ(0, mManager.mDownButtons);
  EXPECT_EQ(0, mManager.mActualDownButtons);

  mManager.DispatchMouseDown(500, 500, 3);  // on nothing: no held widget
  EXPECT_EQ(nullptr, mManager.mLastDownWidget);
  EXPECT_EQ(2, mManager.mLastDownButtonId);
  mManager.DispatchMouseUp(500, 500, 3);
  EXPECT_EQ(0, mManager.mDownButtons);
}

TEST_F(Input, HitTestSkipsDisabledHiddenAndRefusingWidgets) {
  LogWidget* base = Make("base", 0, 0, 100, 100);
  LogWidget* top = Make("top", 0, 0, 100, 100);
  int lx = 0, ly = 0;
  EXPECT_EQ(top, mManager.GetWidgetAt(5, 6, &lx, &ly));
  top->mRefuse = true;
  EXPECT_EQ(base, mManager.GetWidgetAt(5, 6));
  top->mRefuse = false;
  top->mMouseVisible = false;
  EXPECT_EQ(base, mManager.GetWidgetAt(5, 6));
  top->mMouseVisible = true;
  top->mDisabled = true;
  EXPECT_EQ(nullptr, mManager.GetWidgetAt(5, 6));  // disabled still catches the point
  EXPECT_EQ(top, mManager.GetAnyWidgetAt(5, 6));
  top->mDisabled = false;
  top->mWidgetFlagsMod = WidgetFlagsChange(0, WidgetFlag::MouseInput);
  EXPECT_EQ(base, mManager.GetWidgetAt(5, 6));
  top->mWidgetFlagsMod = WidgetFlagsChange();
  top->mMargins = Margins(10, 10, 0, 0);
  EXPECT_EQ(base, mManager.GetWidgetAt(5, 6));
  EXPECT_EQ(top, mManager.GetWidgetAt(10, 10));
  EXPECT_EQ(top, mManager.GetWidgetAt(99, 99));
  EXPECT_EQ(nullptr, mManager.GetWidgetAt(99, 100));  // right and bottom edges are outside
}

TEST_F(Input, ModalWidgetsCutInputBelowAndRestoreTheFocus) {
  LogWidget* below = Make("below", 0, 0, 100, 100);
  below->mWantsFocus = true;
  mManager.DispatchMouseDown(10, 10, 1);
  mManager.DispatchMouseUp(10, 10, 1);
  EXPECT_EQ(below, mManager.mFocusWidget);
  TakeLog();

  LogWidget* dialog = Make("dialog", 200, 200, 50, 50);
  mManager.PushModal(dialog);
  EXPECT_EQ((Log{"below:leave", "below:blur"}), TakeLog());
  mManager.DispatchMouseDown(10, 10, 1);
  EXPECT_EQ(nullptr, mManager.mLastDownWidget);
  mManager.DispatchMouseUp(10, 10, 1);
  EXPECT_TRUE(TakeLog().empty());

  mManager.PopModal(below);  // not the newest: nothing
  EXPECT_EQ(dialog, mManager.mModalWidget);
  mManager.PopModal(dialog);
  EXPECT_EQ((Log{"below:focus"}), TakeLog());
  EXPECT_EQ(nullptr, mManager.mModalWidget);

  // A focus taken meanwhile is kept.
  mManager.PushModal(dialog);
  mManager.SetFocus(dialog);
  TakeLog();
  mManager.PopModal(dialog);
  EXPECT_EQ(dialog, mManager.mFocusWidget);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Input, PoppingPastRemovedModalWidgets) {
  LogWidget* focus = Make("focus", 0, 0, 10, 10);
  mManager.SetFocus(focus);
  LogWidget* first = Make("first", 100, 0, 10, 10);
  LogWidget* second = Make("second", 200, 0, 10, 10);
  mManager.PushModal(first);
  mManager.PushModal(second, WidgetFlagsChange(0, WidgetFlag::MouseInput));
  mManager.RemoveChild(first);
  TakeLog();
  // second's entry no longer names first, so popping goes on to the entry before it.
  mManager.PopModal(second);
  EXPECT_EQ(nullptr, mManager.mModalWidget);
  EXPECT_TRUE(mManager.mPreModalInfoList.empty());
  EXPECT_EQ(focus, mManager.mFocusWidget);
  EXPECT_EQ((Log{"focus:focus"}), TakeLog());
}

TEST_F(Input, AppFocusLossReleasesKeysOnce) {
  LogWidget* w = Make("w", 0, 0, 10, 10);
  mManager.SetFocus(w);
  mManager.DispatchKeyDown('A');
  mManager.DispatchKeyDown(VK_SHIFT);
  mManager.DispatchKeyDown(300);  // beyond the table: passed on, not kept
  TakeLog();
  mManager.OnAppFocusLost();
  EXPECT_EQ((Log{"w:keyup 16", "w:keyup 65", "w:blur"}), TakeLog());
  EXPECT_EQ(w, mManager.mFocusWidget);
  mManager.OnAppFocusLost();
  EXPECT_TRUE(TakeLog().empty());
  mManager.OnAppFocusGained();
  EXPECT_EQ((Log{"w:focus"}), TakeLog());
}

TEST_F(Input, CtrlTabGoesToTheDefaultTabWidget) {
  LogWidget* focus = Make("focus", 0, 0, 10, 10);
  LogWidget* tabber = Make("tabber", 20, 0, 10, 10);
  mManager.SetFocus(focus);
  mManager.mDefaultTab = tabber;
  TakeLog();
  mManager.DispatchKeyDown(VK_CONTROL);
  mManager.DispatchKeyDown(VK_TAB);
  mManager.DispatchKeyChar(L'\t');
  mManager.DispatchKeyUp(VK_TAB);
  mManager.DispatchKeyUp(VK_CONTROL);
  mManager.DispatchKeyChar(L'x');
  EXPECT_EQ((Log{"focus:keydown 17", "focus:keydown 9", "tabber:char 9", "focus:keyup 17", "focus:char 120"}),
            TakeLog());
}

TEST_F(Input, RemovingAWidgetEndsItsRoles) {
  LogWidget* w = Make("w", 0, 0, 100, 100);
  mManager.SetFocus(w);
  mManager.DispatchMouseDown(10, 10, 1);
  mManager.DispatchMouseDown(10, 10, 3);
  TakeLog();
  mManager.RemoveChild(w);
  EXPECT_EQ((Log{"w:leave", "w:up 10,10", "w:up 10,10 b0 c1", "w:up 10,10", "w:up 10,10 b2 c1", "w:blur"}), TakeLog());
  EXPECT_EQ(nullptr, mManager.mLastDownWidget);
  EXPECT_EQ(nullptr, mManager.mOverWidget);
  EXPECT_EQ(nullptr, mManager.mFocusWidget);
  EXPECT_EQ(nullptr, w->mWidgetManager);
}

TEST_F(Input, PopupsCloseOnAPressOutside) {
  LogWidget* popup = Make("popup", 0, 0, 50, 50);
  mManager.mPopupWidget = popup;
  mManager.DispatchMouseDown(10, 10, 1);
  mManager.DispatchMouseUp(10, 10, 1);
  EXPECT_TRUE(mManager.HasChild(popup));
  mManager.DispatchMouseDown(300, 300, 1);
  EXPECT_FALSE(mManager.HasChild(popup));
  EXPECT_EQ(nullptr, mManager.mPopupWidget);
}

TEST_F(Input, MouseMapping) {
  mManager.SetMouseRects(Rect(10, 20, 800, 600), Rect(0, 0, 400, 300));
  EXPECT_EQ(820, mManager.mWidth);
  EXPECT_EQ(640, mManager.mHeight);
  int x = 101, y = -3;
  mManager.RemapMouse(x, y);
  EXPECT_EQ(101 * 2 + 10, x);
  EXPECT_EQ(-3 * 2 + 20, y);
  // No source size yet: left as it is rather than divided by zero.
  mManager.SetMouseRects(Rect(), Rect());
  x = 7;
  y = 9;
  mManager.RemapMouse(x, y);
  EXPECT_EQ(7, x);
  EXPECT_EQ(9, y);
}
