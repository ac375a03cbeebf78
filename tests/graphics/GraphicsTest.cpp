#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "fonts/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"

using namespace Velk;

namespace {

std::string Str(const Rect& r) {
  return std::to_string(r.mX) + "," + std::to_string(r.mY) + "," + std::to_string(r.mWidth) + "," +
         std::to_string(r.mHeight);
}

// Records what reaches the image as text: operation, destination, source, and a colour other than white.
class RecordingImage : public Image {
 public:
  std::vector<std::string> mCalls;
  Graphics* mContext = nullptr;
  float mTransDuringCall = -1;
  RecordingImage(int w, int h) {
    mWidth = w;
    mHeight = h;
  }
  void Record(const std::string& op, const Rect& d, const Rect& s, const Color& c) {
    mCalls.push_back(op + " " + Str(d) + (s == Rect() ? "" : " <- " + Str(s)) +
                     (c == Color::White ? "" : " c" + std::to_string(c.mRed)));
  }
  void FillRect(const Rect& r, const Color& c, int) override { Record("fill", r, {}, c); }
  void DrawRect(const Rect& r, const Color& c, int) override { Record("outline", r, {}, c); }
  void Blit(Image*, int x, int y, const Rect& s, const Color& c, int) override {
    Record("blit", Rect(x, y, s.mWidth, s.mHeight), s, c);
  }
  void BlitStretched(Image*, const Rect& d, const Rect& s, const Rect&, const Color& c, int, bool) override {
    Record("stretch", d, s, c);
  }
  void BlitStretchedMirrored(Image*, const Rect& d, const Rect& s, const Rect&, const Color& c, int, bool) override {
    Record("mirror", d, s, c);
  }
  void BlitTransformed(Image*, float x, float y, const Matrix3x3&, const Rect&, const Color& c, int, const Rect& s,
                       bool) override {
    Record("transform", Rect(int(x), int(y), 0, 0), s, c);
    mTransDuringCall = mContext->mTransX + mContext->mTransY;
  }
};

class WideFont : public Font {
 public:
  std::vector<std::wstring> mDrawn;
  int StringWidth(const std::wstring& s) override { return 3 * static_cast<int>(s.size()); }
  void DrawString(Graphics*, int, int, const std::wstring& s, const Color&, const Rect&) override {
    mDrawn.push_back(s);
  }
  Font* Duplicate() override { return new WideFont(*this); }
};

using Calls = std::vector<std::string>;

}  // namespace

TEST(Graphics, FillAndOutlineTranslateAndClip) {
  RecordingImage image(100, 100);
  Graphics g(&image);
  g.SetColor(Color(7, 0, 0));
  g.Translate(10, 20);
  g.FillRect(0, 0, 5, 5);
  g.DrawRect(0, 0, 10, 10);
  g.SetClipRect(0, 0, 10, 100);
  g.FillRect(0, 0, 15, 5);
  // Crossing the clip, the outline becomes four clipped fills.
  g.DrawRect(0, 0, 10, 10);
  g.SetColor(Color(1, 2, 3, 0));
  g.FillRect(0, 0, 5, 5);
  g.DrawRect(0, 0, 5, 5);
  EXPECT_EQ((Calls{"fill 10,20,5,5 c7", "outline 10,20,10,10 c7", "fill 10,20,10,5 c7", "fill 10,20,10,1 c7",
                   "fill 10,30,10,1 c7", "fill 10,21,1,9 c7", "fill 20,21,0,9 c7"}),
            image.mCalls);
}

TEST(Graphics, DrawImageSourceChecksClippingAndColour) {
  RecordingImage image(100, 100);
  Image sprite;
  sprite.mWidth = 10;
  sprite.mHeight = 8;
  Graphics g(&image);
  g.DrawImage(&sprite, 0, 0, Rect(5, 0, 6, 8));   // past the right edge
  g.DrawImage(&sprite, 0, 0, Rect(0, -1, 4, 4));  // above the top
  g.Translate(-3, 2);
  g.DrawImage(&sprite, 0, 0, Rect(2, 1, 6, 5));
  g.DrawImage(&sprite, 0, 0);
  g.SetColor(Color(9, 8, 7));
  g.DrawImage(&sprite, 0, 0, 20, 16);
  g.SetImageColorize(true);
  g.DrawImage(&sprite, Rect(0, 0, 20, 16), Rect(0, 0, 10, 8));
  g.DrawImageMirrored(&sprite, Rect(0, 0, 20, 16), Rect(0, 0, 10, 8), true);
  EXPECT_EQ((Calls{"blit 0,2,3,5 <- 5,1,3,5", "blit 0,2,7,8 <- 3,0,7,8", "stretch -3,2,20,16 <- 0,0,10,8",
                   "stretch -3,2,20,16 <- 0,0,10,8 c9", "mirror -3,2,20,16 <- 0,0,10,8 c9"}),
            image.mCalls);
}

TEST(Graphics, ScaledDrawImageStretches) {
  RecordingImage image(100, 100);
  Image sprite;
  sprite.mWidth = 10;
  sprite.mHeight = 7;
  Graphics g(&image);
  g.Translate(3, 3);
  g.mScaleX = g.mScaleY = 2.0f;
  g.DrawImage(&sprite, 0, 0);
  // ceil(7 x 1.5) = 11.
  g.mScaleX = g.mScaleY = 1.5f;
  g.DrawImage(&sprite, 0, 0, Rect(0, 0, 7, 7));
  EXPECT_EQ((Calls{"stretch 6,6,20,14 <- 0,0,10,7", "stretch 4,4,11,11 <- 0,0,7,7"}), image.mCalls);
}

TEST(Graphics, TransformedDrawIgnoresAndTruncatesTheTranslation) {
  RecordingImage image(100, 100);
  Image sprite;
  Graphics g(&image);
  image.mContext = &g;
  g.mTransX = 2.75f;
  g.mTransY = -1.5f;
  g.DrawImageTransformed(&sprite, Matrix3x3(), Rect(0, 0, 4, 4), 7, 8);
  EXPECT_EQ((Calls{"transform 7,8,0,0 <- 0,0,4,4"}), image.mCalls);
  EXPECT_EQ(0.0f, image.mTransDuringCall);
  EXPECT_EQ(2.0f, g.mTransX);
  EXPECT_EQ(-1.0f, g.mTransY);
}

TEST(Graphics, StateStackCopiesAndNullImage) {
  RecordingImage image(50, 40);
  WideFont font;
  Graphics g(&image);
  g.PopState();
  EXPECT_EQ(Rect(0, 0, 50, 40), g.mClipRect);

  g.PushState();
  g.SetColor(Color(1, 2, 3, 4));
  g.Translate(5, 6);
  g.SetClipRect(0, 0, 10, 10);
  g.SetFont(&font);
  g.SetDrawMode(1);
  g.SetImageColorize(true);
  g.SetStretchFast(true);
  g.SetBlendLinear(true);
  std::unique_ptr<Graphics> copy(g.Clone());
  g.PopState();
  EXPECT_EQ(Color::Black, g.GetColor());
  EXPECT_EQ(0.0f, g.mTransX);
  EXPECT_EQ(Rect(0, 0, 50, 40), g.mClipRect);
  EXPECT_EQ(nullptr, g.GetFont());
  EXPECT_EQ(0, g.GetDrawMode());
  EXPECT_FALSE(g.GetImageColorize() || g.mFastStretch || g.mLinearBlend);

  // The copy kept the changed state, and its own stack is empty.
  EXPECT_EQ(Rect(5, 6, 10, 10), copy->mClipRect);
  copy->PopState();
  EXPECT_EQ(Color(1, 2, 3, 4), copy->GetColor());
  copy->DrawString(L"abc", 1, 2);
  EXPECT_EQ((std::vector<std::wstring>{L"abc"}), font.mDrawn);

  Graphics none(nullptr);
  EXPECT_EQ(&gNullImage, none.mDestImage);
  EXPECT_EQ(Rect(0, 0, 0, 0), none.mClipRect);
  none.DrawString(L"no font", 0, 0);
}

TEST(Graphics, NinePartBoxTiles) {
  RecordingImage image(100, 100);
  Image box;
  box.mWidth = box.mHeight = 9;
  Graphics g(&image);
  g.DrawNinePartBox(Rect(0, 0, 30, 30), &box);
  ASSERT_EQ(4u + 16u + 16u + 64u, image.mCalls.size());
  EXPECT_EQ("blit 27,27,3,3 <- 6,6,3,3", image.mCalls[3]);
  // Top edge tiles every 3 pixels from 3 to 24, each followed by its bottom twin.
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ("blit " + std::to_string(3 + 3 * i) + ",0,3,3 <- 3,0,3,3", image.mCalls[4 + 2 * i]);
    EXPECT_EQ("blit " + std::to_string(3 + 3 * i) + ",27,3,3 <- 3,6,3,3", image.mCalls[5 + 2 * i]);
  }
  EXPECT_EQ("blit 24,24,3,3 <- 3,3,3,3", image.mCalls.back());

  // A 10-wide destination: the second edge tile is cut by the copy's clip to one column.
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 10, 9), &box);
  EXPECT_EQ("blit 6,0,1,3 <- 3,0,1,3", image.mCalls[6]);

  // A 3 x 3 source has 1 x 1 corners and middles; a 2 x 2 one empty corners and a 2 x 2 middle.
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 3, 3), Rect(0, 0, 6, 3), &box);
  EXPECT_EQ("blit 3,0,1,1 <- 1,0,1,1", image.mCalls[8]);
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 2, 2), Rect(10, 10, 4, 4), &box);
  EXPECT_EQ((Calls{"blit 10,10,2,2 <- 0,0,2,2", "blit 10,12,2,2 <- 0,0,2,2", "blit 12,10,2,2 <- 0,0,2,2",
                   "blit 12,12,2,2 <- 0,0,2,2"}),
            image.mCalls);
}

TEST(Font, BaseMetricsAndWidths) {
  WideFont font;
  font.mAscent = 10;
  font.mHeight = 14;
  font.mLineSpacingOffset = 2;
  EXPECT_EQ(4, font.GetDescent());
  EXPECT_EQ(16, font.GetLineSpacing());
  EXPECT_EQ(3, font.CharWidthKern(L'x', L'y'));
  EXPECT_EQ(0, font.Font::StringWidth(L"abc"));
}
