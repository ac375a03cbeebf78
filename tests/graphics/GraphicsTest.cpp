#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fonts/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"

using namespace Velk;

namespace {

// Records what reaches the image: the operation, its rectangles and colour.
struct Call {
  std::string op;
  Rect a;
  Rect b;
  Color color;
  bool operator==(const Call& o) const { return op == o.op && a == o.a && b == o.b && color == o.color; }
};

std::ostream& operator<<(std::ostream& os, const Call& c) {
  return os << c.op << " (" << c.a.mX << "," << c.a.mY << "," << c.a.mWidth << "," << c.a.mHeight << ") ("
            << c.b.mX << "," << c.b.mY << "," << c.b.mWidth << "," << c.b.mHeight << ")";
}

class RecordingImage : public Image {
public:
  std::vector<Call> mCalls;
  RecordingImage(int w, int h) {
    mWidth = w;
    mHeight = h;
  }
  void FillRect(const Rect& r, const Color& c, int) override { mCalls.push_back({"fill", r, {}, c}); }
  void DrawRect(const Rect& r, const Color& c, int) override { mCalls.push_back({"outline", r, {}, c}); }
  void Blit(Image*, int x, int y, const Rect& s, const Color& c, int) override {
    mCalls.push_back({"blit", Rect(x, y, s.mWidth, s.mHeight), s, c});
  }
  void BlitStretched(Image*, const Rect& d, const Rect& s, const Rect&, const Color& c, int, bool) override {
    mCalls.push_back({"stretch", d, s, c});
  }
  void BlitStretchedMirrored(Image*, const Rect& d, const Rect& s, const Rect&, const Color& c, int, bool) override {
    mCalls.push_back({"mirror", d, s, c});
  }
};

class WideFont : public Font {
public:
  std::vector<std::wstring> mDrawn;
  Rect mClip;
  int StringWidth(const std::wstring& s) override { return 3 * static_cast<int>(s.size()); }
  void DrawString(Graphics*, int, int, const std::wstring& s, const Color&, const Rect& clip) override {
    mDrawn.push_back(s);
    mClip = clip;
  }
  Font* Duplicate() override { return new WideFont(*this); }
};

}  // namespace

TEST(Graphics, FillRectTranslatesAndClips) {
  RecordingImage image(100, 100);
  Graphics g(&image);
  g.SetColor(Color(1, 2, 3));
  g.Translate(10, 20);
  g.FillRect(0, 0, 5, 5);
  g.SetClipRect(0, 0, 2, 100);
  g.FillRect(0, 0, 5, 5);
  g.SetColor(Color(1, 2, 3, 0));
  g.FillRect(0, 0, 5, 5);
  EXPECT_EQ((std::vector<Call>{{"fill", {10, 20, 5, 5}, {}, Color(1, 2, 3)}, {"fill", {10, 20, 2, 5}, {}, Color(1, 2, 3)}}),
            image.mCalls);
}

TEST(Graphics, DrawRectInsideOrAcrossTheClip) {
  RecordingImage image(100, 100);
  Graphics g(&image);
  g.DrawRect(0, 0, 10, 10);
  ASSERT_EQ(1u, image.mCalls.size());
  EXPECT_EQ((Call{"outline", {0, 0, 10, 10}, {}, Color::Black}), image.mCalls[0]);

  image.mCalls.clear();
  g.SetClipRect(0, 0, 10, 100);
  g.DrawRect(0, 0, 10, 10);
  EXPECT_EQ((std::vector<Call>{{"fill", {0, 0, 10, 1}, {}, Color::Black},
                               {"fill", {0, 10, 10, 1}, {}, Color::Black},
                               {"fill", {0, 1, 1, 9}, {}, Color::Black},
                               {"fill", {10, 1, 0, 9}, {}, Color::Black}}),
            image.mCalls);
}

TEST(Graphics, DrawImageSourceChecksAndClipping) {
  RecordingImage image(100, 100);
  Image sprite;
  sprite.mWidth = 10;
  sprite.mHeight = 8;
  Graphics g(&image);
  g.DrawImage(&sprite, 0, 0, Rect(5, 0, 6, 8));   // past the right edge
  g.DrawImage(&sprite, 0, 0, Rect(0, -1, 4, 4));  // above the top
  EXPECT_TRUE(image.mCalls.empty());

  g.Translate(-3, 2);
  g.DrawImage(&sprite, 0, 0, Rect(2, 1, 6, 5));
  g.DrawImage(&sprite, 0, 0);
  EXPECT_EQ((std::vector<Call>{{"blit", {0, 2, 3, 5}, {5, 1, 3, 5}, Color::White},
                               {"blit", {0, 2, 7, 8}, {3, 0, 7, 8}, Color::White}}),
            image.mCalls);

  // Colourised drawing passes the current colour.
  image.mCalls.clear();
  g.SetColor(Color(9, 8, 7));
  g.SetImageColorize(true);
  g.DrawImage(&sprite, Rect(0, 0, 20, 16), Rect(0, 0, 10, 8));
  g.DrawImageMirrored(&sprite, Rect(0, 0, 20, 16), Rect(0, 0, 10, 8), true);
  EXPECT_EQ((std::vector<Call>{{"stretch", {-3, 2, 20, 16}, {0, 0, 10, 8}, Color(9, 8, 7)},
                               {"mirror", {-3, 2, 20, 16}, {0, 0, 10, 8}, Color(9, 8, 7)}}),
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
  g.mScaleX = g.mScaleY = 1.5f;
  g.DrawImage(&sprite, 0, 0, Rect(0, 0, 7, 7));
  EXPECT_EQ((std::vector<Call>{{"stretch", {6, 6, 20, 14}, {0, 0, 10, 7}, Color::White},
                               {"stretch", {4, 4, 11, 11}, {0, 0, 7, 7}, Color::White}}),
            image.mCalls);
}

TEST(Graphics, StateStackAndCopies) {
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
  EXPECT_FALSE(g.GetImageColorize());
  EXPECT_FALSE(g.mFastStretch);
  EXPECT_FALSE(g.mLinearBlend);

  // The copy kept the changed state, and its own stack is empty.
  EXPECT_EQ(Rect(5, 6, 10, 10), copy->mClipRect);
  copy->PopState();
  EXPECT_EQ(Color(1, 2, 3, 4), copy->GetColor());
}

TEST(Graphics, NullImageAndText) {
  Graphics g(nullptr);
  EXPECT_EQ(&gNullImage, g.mDestImage);
  EXPECT_EQ(Rect(0, 0, 0, 0), g.mClipRect);
  g.FillRect(0, 0, 10, 10);
  g.DrawString(L"no font", 0, 0);

  WideFont font;
  g.SetFont(&font);
  g.DrawString(L"abc", 1, 2);
  EXPECT_EQ((std::vector<std::wstring>{L"abc"}), font.mDrawn);
}

TEST(Graphics, NinePartBoxTiles) {
  RecordingImage image(100, 100);
  Image box;
  box.mWidth = box.mHeight = 9;
  Graphics g(&image);
  g.DrawNinePartBox(Rect(0, 0, 30, 30), &box);
  ASSERT_EQ(4u + 16u + 16u + 64u, image.mCalls.size());
  EXPECT_EQ((Call{"blit", {27, 27, 3, 3}, {6, 6, 3, 3}, Color::White}), image.mCalls[3]);
  // Top edge tiles every 3 pixels from 3 to 24, each followed by its bottom twin.
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ((Call{"blit", {3 + 3 * i, 0, 3, 3}, {3, 0, 3, 3}, Color::White}), image.mCalls[4 + 2 * i]);
    EXPECT_EQ((Call{"blit", {3 + 3 * i, 27, 3, 3}, {3, 6, 3, 3}, Color::White}), image.mCalls[5 + 2 * i]);
  }
  EXPECT_EQ((Call{"blit", {24, 24, 3, 3}, {3, 3, 3, 3}, Color::White}), image.mCalls.back());

  // A 10-wide destination: the second edge tile is cut by the copy's clip to one column.
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 10, 9), &box);
  EXPECT_EQ((Call{"blit", {3, 0, 3, 3}, {3, 0, 3, 3}, Color::White}), image.mCalls[4]);
  EXPECT_EQ((Call{"blit", {6, 0, 1, 3}, {3, 0, 1, 3}, Color::White}), image.mCalls[6]);

  // A 3 x 3 source has 1 x 1 corners and middles.
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 3, 3), Rect(0, 0, 6, 3), &box);
  EXPECT_EQ((Call{"blit", {0, 0, 1, 1}, {0, 0, 1, 1}, Color::White}), image.mCalls[0]);
  EXPECT_EQ((Call{"blit", {3, 0, 1, 1}, {1, 0, 1, 1}, Color::White}), image.mCalls[8]);

  // A 2 x 2 source has empty corners and a 2 x 2 middle.
  image.mCalls.clear();
  g.DrawNinePartBox(Rect(0, 0, 2, 2), Rect(10, 10, 4, 4), &box);
  ASSERT_EQ(4u, image.mCalls.size());
  for (const Call& c : image.mCalls) EXPECT_EQ(Rect(0, 0, 2, 2), c.b);
}

TEST(Font, BaseMetricsAndWidths) {
  WideFont font;
  font.mAscent = 10;
  font.mHeight = 14;
  font.mLineSpacingOffset = 2;
  EXPECT_EQ(4, font.GetDescent());
  EXPECT_EQ(16, font.GetLineSpacing());
  EXPECT_EQ(3, font.CharWidth(L'x'));
  EXPECT_EQ(3, font.CharWidthKern(L'x', L'y'));
  std::unique_ptr<Font> copy(font.Duplicate());
  EXPECT_EQ(10, copy->GetAscent());
  EXPECT_EQ(0, copy->Font::StringWidth(L"abc"));
}
