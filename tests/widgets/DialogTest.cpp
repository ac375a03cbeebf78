#include <gtest/gtest.h>

#include "widgets/Dialog.h"
#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

// The fake application's fonts: ascent 8, padding 1, height 12, line spacing 14, advance 10.
namespace {

class DialogFixture : public ::testing::Test, public WidgetFixtureBase {
 protected:
  std::unique_ptr<Dialog> Make(int mode, const std::wstring& header = L"", const std::wstring& lines = L"",
                               const std::wstring& footer = L"") {
    return std::make_unique<Dialog>(nullptr, nullptr, 42, true, header, lines, footer, mode);
  }
  std::vector<Widget*> TopLevel() { return {mManager.mWidgets.begin(), mManager.mWidgets.end()}; }
};

}  // namespace

TEST_F(DialogFixture, ModeThreeHasOneFullWidthButtonLabelledWithTheFooter) {
  auto d = Make(3, L"H", L"", L"Go on");
  ASSERT_TRUE(d->mYesButton);
  EXPECT_FALSE(d->mNoButton);
  EXPECT_EQ(L"Go on", d->mYesButton->mLabel);
  d->SetBounds(100, 50, 400, 200);
  EXPECT_EQ(Rect(124, 202, 352, 24), d->mYesButton->GetRect());
  // 48 insets + header 12 - 1 + 8 + 8 + 24 button; the footer is not counted.
  EXPECT_EQ(99, d->GetPreferredHeight(400));
  EXPECT_EQ((std::vector<std::string>{"Arial Unicode MS 14 0", "Arial Unicode MS 12 0"}), mHost.mFontRequests);
}

TEST_F(DialogFixture, TwoButtonLayoutAndLabels) {
  auto d = Make(1);
  EXPECT_EQ(L"YES", d->mYesButton->mLabel);
  EXPECT_EQ(L"NO", d->mNoButton->mLabel);
  d->mButtonSidePadding = 3;
  d->SetBounds(100, 50, 400, 200);
  // (400 - 48 - 6 - 8) / 2 = 169
  EXPECT_EQ(Rect(127, 202, 169, 24), d->mYesButton->GetRect());
  EXPECT_EQ(Rect(304, 202, 169, 24), d->mNoButton->GetRect());
  EXPECT_FALSE(Make(0)->mYesButton);

  EXPECT_EQ(Color(0, 0, 0), d->GetColor(3, Color::White));  // no button image: black labels
  d->SetColor(3, Color(1, 2, 3));
  d->SetColor(4, Color(4, 5, 6));
  EXPECT_EQ(Color(1, 2, 3), d->mNoButton->GetColor(0));
  EXPECT_EQ(Color(4, 5, 6), d->mYesButton->GetColor(1));
}

TEST_F(DialogFixture, WithoutHeaderTheLinesStartAtTheContentTop) {
  auto d = Make(1, L"", L"abc def", L"F");
  // 48 + one line (descent 4 + 7) + 8 + footer 14 + 8 + 8 + 24
  EXPECT_EQ(121, d->GetPreferredHeight(400));
  d->SetBounds(0, 0, 400, 121);
  RecordingImage screen(800, 600);
  Graphics g(&screen);
  static_cast<TextTestFont*>(d->mLinesFont.get())->mDrawn.clear();  // the measuring pass went through it
  d->Draw(&g);
  EXPECT_EQ(RecordingImage::Describe("rect", Rect(12, 12, 375, 96), Color(255, 255, 255)), screen.mCalls[0]);
  EXPECT_EQ(RecordingImage::Describe("fill", Rect(13, 13, 374, 95), Color(80, 80, 80)), screen.mCalls[1]);
  EXPECT_EQ(RecordingImage::Describe("fill", Rect(388, 24, 12, 85), Color(0, 0, 0, 128)), screen.mCalls[2]);
  auto* lines = static_cast<TextTestFont*>(d->mLinesFont.get());
  ASSERT_EQ(1u, lines->mDrawn.size());
  EXPECT_EQ(26 + (348 - 70) / 2, lines->mDrawn[0].x);  // centred by default
  EXPECT_EQ(31, lines->mDrawn[0].y);
  EXPECT_EQ(Color(255, 255, 0), lines->mDrawn[0].color);
  auto* header = static_cast<TextTestFont*>(d->mHeaderFont.get());
  ASSERT_EQ(1u, header->mDrawn.size());  // the footer, below the lines
  EXPECT_EQ(195, header->mDrawn[0].x);
  EXPECT_EQ(24 + 11 + 8 + 14, header->mDrawn[0].y);
}

TEST_F(DialogFixture, HeaderFontsAreCopiesOwnedByTheDialog) {
  auto d = Make(0, L"Head");
  const int live = TextTestFont::sLive;
  {
    TextTestFont given(10, 20, 2, 30, 0);
    d->SetHeaderFont(&given);
  }
  EXPECT_EQ(live + 1, TextTestFont::sLive);
  EXPECT_EQ(48 + 30 - 2, d->GetPreferredHeight(200));
  EXPECT_EQ(live + 2, TextTestFont::sLive);  // and the default lines font
  d.reset();
  EXPECT_EQ(live, TextTestFont::sLive);  // its own copy and its lines font freed
}

TEST_F(DialogFixture, ButtonsAreTopLevelWidgetsKeptAboveTheDialog) {
  auto d = Make(1);
  mManager.AddChild(d.get());
  EXPECT_EQ((std::vector<Widget*>{d.get(), d->mYesButton.get(), d->mNoButton.get()}), TopLevel());
  Widget other;
  mManager.AddChild(&other);
  mManager.BringToFront(d.get());
  EXPECT_EQ((std::vector<Widget*>{&other, d.get(), d->mYesButton.get(), d->mNoButton.get()}), TopLevel());
  mManager.RemoveChild(d.get());
  EXPECT_EQ((std::vector<Widget*>{&other}), TopLevel());
  mManager.RemoveChild(&other);
}

TEST_F(DialogFixture, PressReportsAtOnceAndTheReleaseSetsTheResult) {
  auto d = Make(1);
  mManager.AddChild(d.get());
  d->SetBounds(100, 100, 400, 200);
  const Rect yes = d->mYesButton->GetRect();
  mManager.DispatchMouseDown(yes.mX + 5, yes.mY + 5, 1);
  EXPECT_EQ((std::vector<std::pair<int, int>>{{42, 1000}}), mHost.mPressed);
  EXPECT_EQ(Dialog::NoResult, d->mResult);
  mManager.DispatchMouseUp(yes.mX + 5, yes.mY + 5, 1);
  EXPECT_EQ(1000, d->mResult);
  EXPECT_EQ((std::vector<std::pair<int, int>>{{42, 1000}}), mHost.mReleased);
  d->OnButtonReleased(5);  // not one of its buttons
  EXPECT_EQ(1000, d->mResult);
  mManager.RemoveChild(d.get());
}

TEST_F(DialogFixture, DraggingKeepsTheDialogAlmostOnScreen) {
  auto d = Make(0);
  mManager.AddChild(d.get());
  d->SetBounds(100, 100, 200, 150);
  mManager.DispatchMouseDown(150, 150, 1);
  EXPECT_EQ(2, mHost.mCursorKinds.back());
  mManager.DispatchMouseMove(-900, 150);
  EXPECT_EQ(-8, d->mX);
  EXPECT_EQ(8, d->mDragMouseX);  // the grab point stays 8 pixels inside
  mManager.DispatchMouseMove(5000, 160);
  EXPECT_EQ(800 - 200 + 8, d->mX);
  EXPECT_EQ(110, d->mY);
  EXPECT_EQ(191, d->mDragMouseX);
  mManager.DispatchMouseMove(700, -500);
  EXPECT_EQ(-8, d->mY);
  mManager.DispatchMouseUp(700, -500, 1);
  EXPECT_EQ(0, mHost.mCursorKinds.back());
  EXPECT_FALSE(d->mDragging);

  mManager.DispatchMouseDown(d->mX + 20, d->mY + 20, 2);  // a double click does not start a drag
  EXPECT_FALSE(d->mDragging);
  mManager.DispatchMouseUp(d->mX + 20, d->mY + 20, 2);
  mManager.RemoveChild(d.get());
}

TEST_F(DialogFixture, WaitForResultRunsTheLoopUntilAnswered) {
  auto d = Make(1);
  mManager.AddChild(d.get());
  mHost.mLoopStep = [&] {
    if (mHost.mLoopSteps == 3) d->OnButtonReleased(Dialog::NoButtonId);
    return true;
  };
  EXPECT_EQ(Dialog::NoButtonId, d->WaitForResult(true));
  EXPECT_EQ(3, mHost.mLoopSteps);
  EXPECT_EQ((std::vector<int>{42}), mHost.mRemovedDialogs);

  // Leaving the manager or the loop ending gives no result.
  d->mResult = Dialog::NoResult;
  mHost.mLoopStep = [&] {
    mManager.RemoveChild(d.get());
    return true;
  };
  EXPECT_EQ(Dialog::NoResult, d->WaitForResult(false));
  mHost.mLoopStep = [] { return false; };
  mHost.mLoopSteps = 0;
  EXPECT_EQ(Dialog::NoResult, d->WaitForResult(false));
  EXPECT_EQ(1, mHost.mLoopSteps);  // at least one step
}

TEST_F(DialogFixture, WaitForResultSurvivesTheDialogBeingDeletedInsideTheLoop) {
  auto owned = Make(1);
  Dialog* d = owned.get();
  mManager.AddChild(d);
  mHost.mLoopStep = [&] {
    d->OnButtonReleased(Dialog::YesButtonId);
    mManager.RemoveChild(d);  // the application's release handler kills it at once
    owned.reset();
    return true;
  };
  EXPECT_EQ(Dialog::YesButtonId, d->WaitForResult(true));
  EXPECT_TRUE(mHost.mRemovedDialogs.empty());  // nothing left to kill, nor any other dialog by its id
  EXPECT_TRUE(mManager.mWidgets.empty());
}
