#include <gtest/gtest.h>

#include "widgets/DialogButton.h"
#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class DialogButtonDraw : public ::testing::Test, public WidgetFixtureBase {
 protected:
  ButtonListener mListener;
  RecordingImage mCells{90, 30};  // normal, down and over cells of 30 x 30
  DialogButton mButton{&mCells, 1000, &mListener};
  RecordingImage mScreen{200, 100};
  Graphics mG{&mScreen};

  void SetUp() override {
    mButton.SetBounds(0, 0, 100, 24);
    mButton.mLabel = L"OK";
  }
  std::string FirstBlit() {
    mScreen.mCalls.clear();
    mButton.Draw(&mG);
    return mScreen.mCalls.empty() ? "" : mScreen.mCalls.front();
  }
};

}  // namespace

TEST_F(DialogButtonDraw, CellsByStateAndAShiftedPressedLabel) {
  EXPECT_TRUE(mButton.mHandCursor);
  mButton.mNormalRect = Rect(0, 0, 30, 30);
  mButton.mDownRect = Rect(30, 0, 30, 30);
  mButton.mOverRect = Rect(60, 0, 30, 30);
  EXPECT_EQ("blit 0,0,10,10 255,255,255,255 at 0,0", FirstBlit());
  mButton.mIsOver = true;
  EXPECT_EQ("blit 60,0,10,10 255,255,255,255 at 0,0", FirstBlit());
  mButton.mIsDown = true;
  EXPECT_EQ("blit 30,0,10,10 255,255,255,255 at 0,0", FirstBlit());
  EXPECT_EQ((std::vector<std::string>{"Arial Unicode MS 12 1"}), mHost.mFontRequests);

  auto* font = static_cast<TextTestFont*>(mButton.mFont);
  const auto& pressedLabel = font->mDrawn.back();
  // x = (100 - 20) / 2 + 1; y = (8 + 24 - 8 / 6 - 1 - 1) / 2 + 1
  EXPECT_EQ(41, pressedLabel.x);
  EXPECT_EQ(15, pressedLabel.y);
  EXPECT_EQ(Color(255, 255, 255), pressedLabel.color);
  EXPECT_EQ(0.0f, mG.mTransX);  // the shift is undone
  EXPECT_EQ(0.0f, mG.mTransY);

  mButton.mIsDown = false;
  mButton.mIsOver = false;
  mButton.mTextOffsetX = 3;
  FirstBlit();
  EXPECT_EQ(43, font->mDrawn.back().x);
  EXPECT_EQ(14, font->mDrawn.back().y);
}

TEST_F(DialogButtonDraw, WholeImageWhenThereAreNoCells) {
  mButton.mIsDown = mButton.mIsOver = true;
  // Pressed: the whole image shifted by one.
  EXPECT_EQ("blit 0,0,30,10 255,255,255,255 at 1,1", FirstBlit());
  mButton.mComponentImage = nullptr;  // the plain button look
  EXPECT_EQ("fill 0,0,100,24 212,212,212,255", FirstBlit());
}
