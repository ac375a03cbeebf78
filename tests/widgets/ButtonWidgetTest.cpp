#include <gtest/gtest.h>

#include "widgets/ButtonWidget.h"
#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class RecordingListener : public ButtonListener {
 public:
  Log mLog;
  void OnButtonPressed(int id, int count) override {
    mLog.push_back("pressed " + std::to_string(id) + " " + std::to_string(count));
  }
  void OnButtonReleased(int id) override { mLog.push_back("released " + std::to_string(id)); }
  void OnButtonHeld(int id) override { mLog.push_back("held " + std::to_string(id)); }
  void OnButtonHoverEnter(int id) override { mLog.push_back("enter " + std::to_string(id)); }
  void OnButtonHoverLeave(int id) override { mLog.push_back("leave " + std::to_string(id)); }
  void OnButtonHoverMove(int id, int x, int y) override {
    mLog.push_back("hover " + std::to_string(id) + " " + LogWidget::Pt(x, y));
  }
  Log Take() {
    Log out;
    out.swap(mLog);
    return out;
  }
};

class Button : public ::testing::Test, public WidgetFixtureBase {
 protected:
  RecordingListener mListener;
  ButtonWidget mButton{7, &mListener};
  RecordingImage mScreen{200, 100};
  Graphics mG{&mScreen};

  void SetUp() override {
    mButton.SetBounds(0, 0, 50, 20);
    mManager.AddChild(&mButton);
  }
  void TearDown() override { mManager.RemoveChild(&mButton); }
  std::vector<std::string> Draw() {
    mScreen.mCalls.clear();
    mButton.Draw(&mG);
    return mScreen.mCalls;
  }
};

}  // namespace

TEST_F(Button, ReportsPressesReleasesAndHover) {
  mManager.DispatchMouseDown(5, 6, 1);
  mManager.DispatchMouseMove(100, 100);
  mManager.DispatchMouseUp(100, 100, 1);  // released away: no release report
  EXPECT_EQ((Log{"enter 7", "hover 7 5,6", "pressed 7 1", "leave 7"}), mListener.Take());

  mManager.DispatchMouseDown(5, 6, -2);  // the right button reports too, with its count
  mManager.DispatchMouseUp(5, 6, -1);
  EXPECT_EQ((Log{"enter 7", "hover 7 5,6", "pressed 7 2", "released 7"}), mListener.Take());

  mManager.OnAppFocusLost();  // no release while the application is in the background
  mManager.DispatchMouseDown(5, 6, 1);
  mManager.DispatchMouseUp(5, 6, 1);
  EXPECT_EQ((Log{"pressed 7 1"}), mListener.Take());
}

TEST_F(Button, HeldOncePerUpdateWhileOver) {
  mManager.DispatchMouseDown(5, 6, 1);
  mListener.Take();
  mManager.UpdateFrame();
  mManager.UpdateFrame();
  mManager.DispatchMouseMove(100, 100);
  mManager.UpdateFrame();
  mManager.DispatchMouseMove(6, 6);
  mManager.UpdateFrame();
  EXPECT_EQ((Log{"held 7", "held 7", "leave 7", "enter 7", "held 7"}), mListener.Take());
}

TEST_F(Button, HoverImageFadesOutOneStepPerUpdate) {
  RecordingImage normal(50, 20), over(50, 20);
  mButton.mButtonImage = &normal;
  mButton.mOverImage = &over;
  mButton.mOverRect = Rect(0, 0, 50, 20);
  mButton.mOverAlphaSpeed = 0.1;
  mManager.DispatchMouseMove(5, 5);
  EXPECT_EQ((std::vector<std::string>{"blit 0,0,50,20 255,255,255,255 at 0,0"}), Draw());
  mManager.DispatchMouseMove(100, 100);
  EXPECT_EQ(1.0, mButton.mOverAlpha);
  // The hover image at 1.0, 0.9, 0.8 of full opacity, over the normal one once below full.
  for (int alpha : {255, 229, 204}) {
    const auto calls = Draw();
    ASSERT_EQ(alpha == 255 ? 1u : 2u, calls.size());
    EXPECT_EQ("blit 0,0,50,20 255,255,255," + std::to_string(alpha) + " at 0,0", calls.back());
    mManager.UpdateFrame();
  }
  int updates = 3;
  while (mButton.mOverAlpha > 0 && updates < 20) {
    mManager.UpdateFrame();
    ++updates;
  }
  EXPECT_EQ(11, updates);  // ten steps of 0.1 leave a rounding rest, cleared by the next
  EXPECT_EQ(1u, Draw().size());
}

TEST_F(Button, WithoutFadeSpeedsTheHoverLookComesAndGoesAtOnce) {
  RecordingImage normal(50, 20), over(50, 20);
  mButton.mButtonImage = &normal;
  mButton.mOverImage = &over;
  mButton.mOverAlpha = 0.5;  // left over from earlier: cleared by the enter
  mManager.DispatchMouseMove(5, 5);
  EXPECT_EQ(0.0, mButton.mOverAlpha);
  mManager.DispatchMouseMove(100, 100);
  EXPECT_EQ(0.0, mButton.mOverAlpha);

  mButton.mOverAlphaFadeInSpeed = 0.5;
  mManager.DispatchMouseMove(5, 5);
  mManager.UpdateFrame();
  mManager.UpdateFrame();
  mManager.UpdateFrame();
  EXPECT_EQ(1.0, mButton.mOverAlpha);
}

TEST_F(Button, BevelStyleAndLabel) {
  mButton.mInverted = true;  // idle looks pressed
  const std::vector<std::string> pressed = {"fill 0,0,50,20 212,212,212,255", "fill 0,0,49,1 0,0,0,255",
                                            "fill 0,0,1,19 0,0,0,255",        "fill 0,19,50,1 255,255,255,255",
                                            "fill 49,0,1,20 255,255,255,255", "fill 1,1,47,1 132,132,132,255",
                                            "fill 1,1,1,17 132,132,132,255"};
  EXPECT_EQ(pressed, Draw());
  EXPECT_TRUE(mHost.mFontRequests.empty());  // no label, no font

  const int liveBefore = TextTestFont::sLive;
  {
    ButtonWidget labelled(8, &mListener);
    labelled.SetBounds(0, 0, 50, 20);
    labelled.mLabel = L"ab";
    labelled.mInverted = true;
    labelled.SetColor(1, Color(1, 2, 3));
    labelled.mIsOver = true;
    labelled.Draw(&mG);
    labelled.Draw(&mG);
    EXPECT_EQ((std::vector<std::string>{"Arial Unicode MS 10 0"}), mHost.mFontRequests);
    auto* font = static_cast<TextTestFont*>(labelled.mFont);
    ASSERT_EQ(2u, font->mDrawn.size());
    EXPECT_EQ(16, font->mDrawn[0].x);  // (50 - 20) / 2, one right when pressed
    EXPECT_EQ(13, font->mDrawn[0].y);  // (20 - 12) / 2 + 8, one down
    EXPECT_EQ(Color(1, 2, 3), font->mDrawn[0].color);
    EXPECT_EQ(liveBefore + 1, TextTestFont::sLive);
  }
  EXPECT_EQ(liveBefore, TextTestFont::sLive);  // the button frees the font it made

  TextTestFont given;
  {
    ButtonWidget labelled(8, &mListener);
    labelled.mLabel = L"ab";
    labelled.SetFont(&given);
    labelled.Draw(&mG);
  }
  EXPECT_EQ(1u, given.mDrawn.size());  // still alive: a given font is not the button's
}
