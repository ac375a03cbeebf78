#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/TextTestFont.h"

using namespace Velk;
using Velk::Testing::TextTestFont;
using Texts = std::vector<std::wstring>;

namespace {

// Advance 10; ascent 8, padding 1, height 12, line spacing 14.
class TextLayout : public ::testing::Test {
 protected:
  class SizedImage : public Image {
   public:
    SizedImage(int w, int h) {
      mWidth = w;
      mHeight = h;
    }
  };

  SizedImage mImage{400, 400};
  Graphics mG{&mImage};
  TextTestFont mFont;

  void SetUp() override {
    mG.SetFont(&mFont);
    mG.SetColor(Color(1, 2, 3, 200));
  }
};

}  // namespace

TEST_F(TextLayout, ColourTagSplitsTheRunAndKeepsAlpha) {
  EXPECT_EQ(20, mG.DrawTaggedString(L"A^FF0000^B", 5, 50, 0, -1, true, 0, -1, -1));
  ASSERT_EQ(2u, mFont.mDrawn.size());
  EXPECT_EQ(L"A", mFont.mDrawn[0].text);
  EXPECT_EQ(5, mFont.mDrawn[0].x);
  EXPECT_EQ(Color(1, 2, 3, 200), mFont.mDrawn[0].color);
  EXPECT_EQ(L"B", mFont.mDrawn[1].text);
  EXPECT_EQ(15, mFont.mDrawn[1].x);
  EXPECT_EQ(Color(255, 0, 0, 200), mFont.mDrawn[1].color);
  EXPECT_EQ(Color(255, 0, 0, 200), mG.GetColor());

  mG.SetColor(Color(1, 2, 3, 200));
  mFont.mDrawn.clear();
  EXPECT_EQ(20, mG.DrawTaggedString(L"A^FF0000^B", 5, 50, 0, -1, false, 0, -1, -1));
  EXPECT_TRUE(mFont.mDrawn.empty());
  EXPECT_EQ(Color(1, 2, 3, 200), mG.GetColor());
}

TEST_F(TextLayout, CaretsShortTagsAndTheTagSwitch) {
  EXPECT_EQ(10, mG.DrawTaggedString(L"^^", 0, 0, 0, -1, true, 0, -1, -1));
  EXPECT_EQ(Texts{L"^"}, mFont.Texts());
  mFont.mDrawn.clear();
  // Fewer than eight characters from the caret: nothing from there on.
  EXPECT_EQ(20, mG.DrawTaggedString(L"ab^FF00", 0, 0, 0, -1, true, 0, -1, -1));
  EXPECT_EQ(Texts{L"ab"}, mFont.Texts());
  // The length limit counts too: the tag would end past it.
  EXPECT_EQ(10, mG.DrawTaggedString(L"a^FF0000^b", 0, 0, 0, -1, false, 0, 8, -1));
  EXPECT_EQ(20, mG.DrawTaggedString(L"xyzab", 0, 0, 0, -1, false, 3, 99, -1));

  mG.mWriteColoredString = false;
  EXPECT_EQ(100, mG.DrawTaggedString(L"A^FF0000^B", 0, 0, 0, -1, false, 0, -1, -1));
}

TEST_F(TextLayout, TagColourValues) {
  mG.SetColor(Color(10, 20, 30, 99));
  mG.DrawTaggedString(L"^00FF00^x^oldclr^y^ff8000^z^FG0000^w", 0, 0, 0, -1, true, 0, -1, -1);
  ASSERT_EQ(4u, mFont.mDrawn.size());
  EXPECT_EQ(Color(0, 255, 0, 99), mFont.mDrawn[0].color);
  EXPECT_EQ(Color(10, 20, 30, 99), mFont.mDrawn[1].color);   // the colour at the call
  EXPECT_EQ(Color(255, 128, 0, 99), mFont.mDrawn[2].color);  // lower case
  EXPECT_EQ(Color(0xF0, 0, 0, 99), mFont.mDrawn[3].color);   // G is not hex: 0

  mFont.mDrawn.clear();
  mG.DrawTaggedString(L"^oa0000^k^oldclr^m", 0, 0, 0, -1, true, 0, -1, 0x00112233);
  ASSERT_EQ(2u, mFont.mDrawn.size());
  EXPECT_EQ(Color(0, 0, 0, 99), mFont.mDrawn[0].color);  // an o without "oldclr" means black
  EXPECT_EQ(Color(0x11, 0x22, 0x33, 99), mFont.mDrawn[1].color);
}

TEST_F(TextLayout, Justification) {
  // 40 pixels in 101: centred (101 - 40) / 2 = 30, right 61.
  mG.DrawTaggedString(L"ab^FF0000^cd", 100, 0, 101, 0, true, 0, -1, -1);
  mG.DrawTaggedString(L"abcd", 100, 0, 101, 1, true, 0, -1, -1);
  mG.DrawTaggedString(L"abcd", 100, 0, 101, -1, true, 0, -1, -1);
  mG.DrawTaggedString(L"abcdefghijkl", 100, 0, 101, 0, true, 0, -1, -1);  // (101 - 120) / 2 = -9
  ASSERT_EQ(5u, mFont.mDrawn.size());
  EXPECT_EQ(130, mFont.mDrawn[0].x);
  EXPECT_EQ(150, mFont.mDrawn[1].x);
  EXPECT_EQ(161, mFont.mDrawn[2].x);
  EXPECT_EQ(100, mFont.mDrawn[3].x);
  EXPECT_EQ(91, mFont.mDrawn[4].x);
}

TEST_F(TextLayout, WrapsAtSpacesAndReportsTheOverflowingWidth) {
  int maxWidth = -5;
  // "one tw" is 60 wide; the o of "two" overflows.
  const int h = mG.DrawWrappedText(Rect(5, 7, 60, 0), L"one two", -1, -1, &maxWidth, -1, nullptr);
  EXPECT_EQ((Texts{L"one", L"two"}), mFont.Texts());
  EXPECT_EQ(5, mFont.mDrawn[0].x);
  EXPECT_EQ(7 + 8 - 1, mFont.mDrawn[0].y);
  EXPECT_EQ(7 + 8 - 1 + 14, mFont.mDrawn[1].y);
  EXPECT_EQ(70, maxWidth);
  EXPECT_EQ(4 + 7 + 2 * 14 - 14, h);  // descent + first baseline offset + one more line

  int measuredMax = 0;
  EXPECT_EQ(h, mG.MeasureWrappedText(60, L"one two", -1, &measuredMax));
  EXPECT_EQ(70, measuredMax);
}

TEST_F(TextLayout, SpacesAfterABreakAreSkippedAndJustificationApplies) {
  mG.DrawWrappedText(Rect(0, 0, 60, 0), L"one   two", 20, 1, nullptr, -1, nullptr);
  EXPECT_EQ((Texts{L"one  ", L"two"}), mFont.Texts());
  EXPECT_EQ(10, mFont.mDrawn[0].x);  // right-aligned: 60 - 50
  EXPECT_EQ(30, mFont.mDrawn[1].x);
  EXPECT_EQ(27, mFont.mDrawn[1].y);  // 7 + the given spacing
}

TEST_F(TextLayout, LongWordsBreakBetweenCharacters) {
  mG.DrawWrappedText(Rect(0, 0, 25, 0), L"abcdefg", -1, -1, nullptr, -1, nullptr);
  EXPECT_EQ((Texts{L"ab", L"cd", L"ef", L"g"}), mFont.Texts());
  mFont.mDrawn.clear();
  // Narrower than one character: still one per line.
  mG.DrawWrappedText(Rect(0, 0, 5, 0), L"abc", -1, -1, nullptr, -1, nullptr);
  EXPECT_EQ((Texts{L"a", L"b", L"c"}), mFont.Texts());
}

TEST_F(TextLayout, NewlinesBreakAndATrailingOneAddsALine) {
  const int one = mG.DrawWrappedText(Rect(0, 0, 100, 0), L"ab", -1, -1, nullptr, -1, nullptr);
  const int two = mG.DrawWrappedText(Rect(0, 0, 100, 0), L"ab\n", -1, -1, nullptr, -1, nullptr);
  EXPECT_EQ(12 - 1, one);
  EXPECT_EQ(one + 14, two);
  mFont.mDrawn.clear();
  int last = 7;
  mG.DrawWrappedText(Rect(0, 0, 100, 0), L"a\nbc", -1, -1, nullptr, -1, &last);
  EXPECT_EQ((Texts{L"a", L"bc"}), mFont.Texts());
  EXPECT_EQ(7, mFont.mDrawn[0].x);  // continues after earlier text
  EXPECT_EQ(0, mFont.mDrawn[1].x);
  EXPECT_EQ(20, last);
}

TEST_F(TextLayout, LengthLimitStopsTheLayout) {
  mG.DrawWrappedText(Rect(0, 0, 30, 0), L"abcdefghij", -1, -1, nullptr, 5, nullptr);
  EXPECT_EQ((Texts{L"abc", L"de"}), mFont.Texts());
}

TEST_F(TextLayout, TagsCarryAcrossLinesAndTheColourIsRestored) {
  mG.SetColor(Color(9, 9, 9));
  int maxWidth = 0;
  mG.DrawWrappedText(Rect(0, 0, 40, 0), L"^FF0000^aaa ^oldclr^bbb", -1, -1, &maxWidth, -1, nullptr);
  ASSERT_EQ(2u, mFont.mDrawn.size());
  EXPECT_EQ(Color(255, 0, 0), mFont.mDrawn[0].color);
  EXPECT_EQ(Color(9, 9, 9), mFont.mDrawn[1].color);  // the colour of the call, restored by the tag
  EXPECT_EQ(Color(9, 9, 9), mG.GetColor());
  EXPECT_EQ(50, maxWidth);  // tags take no width: "aaa b" overflows at 50
}

TEST_F(TextLayout, LinesOutsideTheClipAreSkipped) {
  mG.SetClipRect(0, 20, 400, 10);
  mG.DrawWrappedText(Rect(0, 0, 35, 0), L"aa bb cc dd", -1, -1, nullptr, -1, nullptr);
  // Baselines 7, 21, 35, 49: broken lines are written while in [20, 20 + 10 + 14); the last one
  // always is.
  EXPECT_EQ((Texts{L"bb", L"cc", L"dd"}), mFont.Texts());
}
