#include <gtest/gtest.h>

#include <vector>

#include "graphics/Image.h"

using namespace Velk;

namespace {

class FillRecorder : public Image {
 public:
  std::vector<Rect> mFills;
  void FillRect(const Rect& r, const Color&, int) override { mFills.push_back(r); }
};

}  // namespace

TEST(ImageAnimSettings, PingPongMapAndCelCount) {
  ImageAnimSettings s;
  s.mAnimType = ImageAnimSettings::PingPong;
  s.mFrameDelay = 0;
  s.SetUp(4, 0, 0);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 2, 1}), s.mFrameMap);
  EXPECT_EQ(6, s.mNumCels);
  EXPECT_EQ(1, s.mFrameDelay);
  EXPECT_EQ(6, s.mTotalAnimTime);

  ImageAnimSettings one;
  one.mAnimType = ImageAnimSettings::PingPong;
  one.SetUp(1, 0, 0);
  EXPECT_TRUE(one.mFrameMap.empty());
  EXPECT_EQ(1, one.mNumCels);
}

TEST(ImageAnimSettings, BeginEndDelaysAndFrameMap) {
  ImageAnimSettings s;
  s.mAnimType = ImageAnimSettings::Once;
  s.mFrameDelay = 10;
  s.SetUp(3, 50, 80);
  EXPECT_EQ((std::vector<int>{50, 10, 80}), s.mPerFrameDelay);
  EXPECT_EQ(140, s.mTotalAnimTime);

  // A map given in the manifest sets the number of steps.
  ImageAnimSettings m;
  m.mAnimType = ImageAnimSettings::Loop;
  m.mFrameDelay = 5;
  m.mFrameMap = {3, 1, 2, 0, 0};
  m.SetUp(4, 0, 0);
  EXPECT_EQ(5, m.mNumCels);
  EXPECT_EQ(25, m.mTotalAnimTime);
  EXPECT_EQ(5u, m.mFrameMap.size());
}

TEST(Image, BaseDrawRectIsFourFills) {
  FillRecorder image;
  image.DrawRect(Rect(2, 3, 4, 5), Color::Black, 0);
  EXPECT_EQ((std::vector<Rect>{{2, 3, 5, 1}, {2, 8, 5, 1}, {2, 4, 1, 4}, {6, 4, 1, 4}}), image.mFills);

  image.mFills.clear();
  image.DrawRect(Rect(5, 5, 0, 0), Color::Black, 0);
  EXPECT_EQ((std::vector<Rect>{{5, 5, 1, 1}, {5, 5, 1, 1}, {5, 6, 1, -1}, {5, 6, 1, -1}}), image.mFills);

  image.mFills.clear();
  const Span spans[2] = {{1, 2, 3}, {4, 5, 6}};
  image.FillSpans(spans, 2, Color::Black, 0);
  image.FillSpans(spans, 0, Color::Black, 0);
  EXPECT_EQ((std::vector<Rect>{{2, 1, 3, 1}, {5, 4, 6, 1}}), image.mFills);
}

TEST(Image, CopyKeepsCelsAndDeepCopiesSettings) {
  Image src;
  src.mWidth = 40;
  src.mHeight = 20;
  src.mNumCols = 4;
  src.mFilePath = "images/strip";
  src.mDrawn = true;
  src.mAnimInfo = std::make_unique<ImageAnimSettings>();
  src.mAnimInfo->mFrameMap = {0, 1};

  Image copy(src);
  EXPECT_TRUE(copy.mFilePath.empty());
  EXPECT_FALSE(copy.mDrawn);
  EXPECT_EQ(40, copy.GetWidth());
  EXPECT_EQ(4, copy.mNumCols);
  ASSERT_NE(nullptr, copy.mAnimInfo);
  EXPECT_NE(src.mAnimInfo.get(), copy.mAnimInfo.get());
  EXPECT_EQ(src.mAnimInfo->mFrameMap, copy.mAnimInfo->mFrameMap);
}
