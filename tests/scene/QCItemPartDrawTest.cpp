// What an item part asks of the drawing target: where each cel lands, scaled or not, repeated, and
// with which colour and mode, including the hover pass. Text parts give a cel without image files.
#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "scene/QCItem.h"
#include "scene/QCItemPart.h"
#include "scene/SceneTestKit.h"

namespace {

using SceneTesting::BlitCall;
using SceneTesting::BlitLog;

class PartDrawTest : public ::testing::Test {
 protected:
  PartDrawTest() {
    item.mPosX = 100;
    item.mPosY = 50;
    item.mOffsX = 10;
    item.SetVisible(true);
    part = new QCItemPart(&item);
    item.mParts.push_back(part);
    part->mAnchorX = 5;
    part->mAnchorY = 7;
    part->SetText(L"42", 40, 20);
  }
  std::vector<BlitCall> Draw() {
    BlitLog log;
    Velk::Graphics g(&log);
    part->Draw(&g);
    // The colour state of the context is left as it was.
    EXPECT_FALSE(g.GetImageColorize());
    EXPECT_EQ(g.GetDrawMode(), 0);
    return log.blits;
  }
  static std::tuple<int, int, int, int> Box(const BlitCall& b) {
    return {b.dest.mX, b.dest.mY, b.dest.mWidth, b.dest.mHeight};
  }
  QCItem item;
  QCItemPart* part;
};

TEST_F(PartDrawTest, PlacementScaleAndRepeat) {
  part->mOffset.x = 3;
  std::vector<BlitCall> blits = Draw();
  ASSERT_EQ(blits.size(), 1u);
  EXPECT_EQ(Box(blits[0]), std::make_tuple(118, 57, 40, 20)) << "pos + offs + anchor + offset";
  EXPECT_FALSE(blits[0].mirrored);

  part->mScale = 1.005f;
  EXPECT_EQ(Box(Draw()[0]), std::make_tuple(118, 57, 40, 20)) << "within 1% draws unscaled";

  // Doubled about the scale point (relative to the draw position) plus the pivot shift: (128, 63).
  part->mScale = 2.0f;
  part->mScalePoint = {6, 4};
  part->mPivotShift = {4, 2};
  EXPECT_EQ(Box(Draw()[0]), std::make_tuple(108, 51, 80, 40));
  part->mScale = 1.02f;
  // x: (118 - 128) * 1.02 + 128 = 117.8 -> 117; y: (57 - 63) * 1.02 + 63 = 56.88 -> 56.
  EXPECT_EQ(Box(Draw()[0]), std::make_tuple(117, 56, 40, 20));

  part->mScale = 1.0f;
  part->mRepeatCount = 3;
  part->mRepeatStepX = 12;
  part->mRepeatStepY = -1;
  blits = Draw();
  ASSERT_EQ(blits.size(), 3u);
  EXPECT_EQ(Box(blits[2]), std::make_tuple(142, 55, 40, 20));
}

TEST_F(PartDrawTest, TintAlphaAndTheHoverPass) {
  part->mAlpha = 0.5f;
  std::vector<BlitCall> blits = Draw();
  EXPECT_EQ(blits[0].colour.mAlpha, 127);
  EXPECT_EQ(blits[0].colour.mRed, 255);

  part->mTint = 0xFF204060;
  blits = Draw();
  EXPECT_EQ(blits[0].colour.mRed, 0x20);
  EXPECT_EQ(blits[0].colour.mBlue, 0x60);
  EXPECT_EQ(blits[0].colour.mAlpha, 127) << "the tint's alpha times the part's";

  part->mTint = 0;
  part->mAlpha = 1.0f;
  item.SetSelected(0, true);
  blits = Draw();
  ASSERT_EQ(blits.size(), 2u);
  EXPECT_EQ(blits[0].mode, 0);
  EXPECT_EQ(blits[1].mode, 1);
  EXPECT_EQ(std::make_tuple(blits[1].colour.mRed, blits[1].colour.mGreen, blits[1].colour.mAlpha),
            std::make_tuple(255, 255, 50));
  EXPECT_EQ(Box(blits[1]), Box(blits[0]));

  // Hidden object, hidden part: nothing.
  item.SetVisible(false);
  EXPECT_TRUE(Draw().empty());
  item.SetVisible(true);
  part->SetVisible(false);
  EXPECT_TRUE(Draw().empty());
}

TEST_F(PartDrawTest, TheTextImageIsRebuiltOnlyWhenChanged) {
  Draw();
  Velk::MemoryImage* first = part->mTextImage.get();
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(part->mTextDirty);
  Draw();
  EXPECT_EQ(part->mTextImage.get(), first);
  part->SetText(L"43", 30, 10);
  Draw();
  EXPECT_EQ(part->mTextImage->GetWidth(), 30);

  // Trail copies draw at their own place with alpha life / 255; a text part has no frames to trail.
  part->mTrail.push_back(QCTrailCopy{});
  EXPECT_EQ(Draw().size(), 1u);
}

}  // namespace
