#include <gtest/gtest.h>

#include <thread>

#include "fonts/FontData.h"
#include "fonts/FontTestSupport.h"
#include "fonts/ImageFont.h"
#include "graphics/Graphics.h"

namespace Velk {
namespace {

using Testing::FontTest;

// A destination that records what is drawn on it.
class RecordingImage : public Image {
 public:
  struct Call {
    Image* src;
    int x, y;
    Rect rect;
    Color color;
    int mode;
  };
  std::vector<Call> mCalls;

  RecordingImage() {
    mWidth = 100000;
    mHeight = 1000;
  }
  void Blit(Image* src, int x, int y, const Rect& rect, const Color& color, int mode) override {
    mCalls.push_back({src, x, y, rect, color, mode});
  }
};

// Two glyph images, red and green; 'A' is 4 x 10 at the left, 'B' 6 x 10 next to it.
constexpr const wchar_t* kTwoLayers =
    L"SetDefaultPointSize 10;\n"
    L"Define Chars ('A' 'B'); CreateHorzSpanRectList Rects (0 0 0 10) (4 6);\n"
    L"CreateLayer Base; LayerSetImage Base 'red.png'; LayerSetImageMap Base Chars Rects;\n"
    L"LayerSetCharWidths Base Chars (5 7); LayerSetAscent Base 8; LayerSetSpacing Base 1;\n"
    L"LayerSetKerningPairs Base ('AB') (-2);\n"
    L"CreateLayer Top; LayerSetImage Top 'green.png'; LayerSetImageMap Top Chars Rects;\n"
    L"LayerSetCharWidths Top Chars (3 3); LayerSetAscent Top 6; LayerSetBaseOrder Top 1;\n"
    L"LayerSetOffset Top (1 2)";

class ImageFontTest : public FontTest {
 protected:
  ImageFontTest() {
    mRed = mHost.AddImage(mFolder / "red.png", 10, 10, 0xFFFF0000);
    mGreen = mHost.AddImage(mFolder / "green.png", 10, 10, 0xFF00FF00);
  }
  ImageFont Font(const std::wstring& text) { return ImageFont(&mHost, Descriptor("font.txt", text)); }
  // The ascents of the active layers tell which they are.
  static std::vector<int> Active(ImageFont& font) {
    font.Prepare();
    std::vector<int> ascents;
    for (const ActiveFontLayer& layer : font.mActiveLayerList) ascents.push_back(layer.mBaseFontLayer->mAscent);
    return ascents;
  }

  MemoryImage* mRed;
  MemoryImage* mGreen;
  RecordingImage mDest;
};

TEST_F(ImageFontTest, LayersApplyByPointRangeAndTags) {
  ImageFont font = Font(
      L"SetDefaultPointSize 12;\n"
      L"CreateLayer Small; LayerPointRange Small 0 11; LayerSetAscent Small 1;\n"
      L"CreateLayer Big; LayerPointRange Big 12 -1; LayerSetAscent Big 2;\n"
      L"CreateLayer Bold; LayerRequireTags Bold ('bold' 'x'); LayerSetAscent Bold 3;\n"
      L"CreateLayer Plain; LayerExcludeTags Plain ('Bold'); LayerSetAscent Plain 4");
  EXPECT_EQ(font.GetPointSize(), 12);
  EXPECT_EQ(Active(font), (std::vector<int>{2, 4}));
  EXPECT_EQ(font.GetAscent(), 4);
  font.SetPointSize(11);
  EXPECT_EQ(Active(font), (std::vector<int>{1, 4}));
  EXPECT_TRUE(font.AddTag("bold"));
  EXPECT_FALSE(font.AddTag("bold"));
  EXPECT_EQ(font.mTagVector, std::vector<std::string>{"BOLD"});
  EXPECT_TRUE(font.HasTag("BoLd"));
  EXPECT_EQ(Active(font), std::vector<int>{1});
  font.AddTag("X");
  EXPECT_EQ(Active(font), (std::vector<int>{1, 3}));
  EXPECT_TRUE(font.RemoveTag("Bold"));
  EXPECT_FALSE(font.RemoveTag("bold"));
  EXPECT_EQ(Active(font), (std::vector<int>{1, 4}));
  // Below every layer's minimum: nothing applies.
  font.SetPointSize(-5);
  EXPECT_TRUE(Active(font).empty());
  EXPECT_EQ(font.GetAscent(), 0);
}

TEST_F(ImageFontTest, MetricsWidthsAndKerningAcrossLayers) {
  ImageFont font = Font(kTwoLayers);
  EXPECT_EQ(font.GetAscent(), 8);
  EXPECT_EQ(font.GetHeight(), 10);  // the default height of the glyph map
  // Widest layer per character: A 5, then B 7 + spacing 1 + kerning -2, then A 5 + 1.
  EXPECT_EQ(font.CharWidth(L'A'), 5);
  EXPECT_EQ(font.CharWidthKern(L'B', L'A'), 6);
  EXPECT_EQ(font.StringWidth(L"ABA"), 17);
  EXPECT_EQ(font.StringWidth(L""), 0);
  EXPECT_EQ(font.CharWidth(L'z'), 0);
  EXPECT_EQ(font.GetDefine(L"chars"), L"(A, B)");
  EXPECT_EQ(font.GetDefine(L"none"), L"");

  Graphics g(&mDest);
  int drawn = -1;
  font.DrawStringEx(&g, 0, 0, L"ABA", Color::White, Rect(), nullptr, &drawn);
  EXPECT_EQ(drawn, font.StringWidth(L"ABA"));
}

TEST_F(ImageFontTest, ScaleTwoDoublesGlyphImagesAndAdvances) {
  ImageFont font = Font(kTwoLayers);
  font.SetScale(2.0);
  EXPECT_EQ(font.StringWidth(L"AB"), 10 + 14 - 2);
  EXPECT_EQ(font.GetAscent(), 16);
  const ActiveFontLayer& base = font.mActiveLayerList.front();
  ASSERT_TRUE(base.mOwnsImage);
  EXPECT_EQ(base.mScaledImage->GetWidth(), 20);
  EXPECT_EQ(base.mScaledImage->GetHeight(), 20);
  EXPECT_EQ(base.ScaledRect(L'B'), Rect(8, 0, 12, 20));
  const uint32_t stretched = static_cast<MemoryImage*>(base.mScaledImage)->GetArgbBits()[8 + 20 * 19];
  EXPECT_EQ(stretched & 0xFF00FFFFu, 0xFF000000u);
  EXPECT_GT(stretched >> 16 & 0xFF, 0xF0u);

  Graphics g(&mDest);
  int drawn = 0;
  font.DrawStringEx(&g, 0, 0, L"AB", Color::White, Rect(), nullptr, &drawn);
  EXPECT_EQ(drawn, 22);
  // Copies get their own scaled images, through the application.
  ImageFont copy(font);
  EXPECT_EQ(mHost.mDuplicates, 2);
  EXPECT_NE(copy.mActiveLayerList.front().mScaledImage, base.mScaledImage);
}

TEST_F(ImageFontTest, LayerPointSizeScalesInRealArithmetic) {
  ImageFont font = Font(
      L"SetDefaultPointSize 12; CreateLayer L; LayerSetPointSize L 10;\n"
      L"LayerSetCharWidths L ('A') (10); LayerSetAscent L 10");
  EXPECT_EQ(font.StringWidth(L"AA"), 24);
  Graphics g(&mDest);
  int drawn = 0;
  font.DrawStringEx(&g, 0, 0, L"AA", Color::White, Rect(), nullptr, &drawn);
  EXPECT_EQ(drawn, 24);
  EXPECT_EQ(font.GetAscent(), 12);
}

TEST_F(ImageFontTest, GlyphsDrawBySlotThenStringOrderWithLayerColoursAndModes) {
  ImageFont font = Font(std::wstring(kTwoLayers) +
                        L"; LayerSetColorMult Top (1 0.5 0 1); LayerSetColorAdd Top 0x00C80000;"
                        L"LayerSetDrawMode Top 1");
  Graphics g(&mDest);
  g.SetDrawMode(0);
  g.SetColor(Color(1, 2, 3, 4));
  std::vector<Rect> rects;
  font.DrawStringEx(&g, 100, 50, L"AB", Color(100, 100, 100, 255), Rect(), &rects, nullptr);
  ASSERT_EQ(mDest.mCalls.size(), 4u);
  // The whole string of the base layer first, then the top layer above it.
  EXPECT_EQ(mDest.mCalls[0].src, mRed);
  EXPECT_EQ(mDest.mCalls[0].x, 100);
  EXPECT_EQ(mDest.mCalls[0].y, 50 - 8);
  EXPECT_EQ(mDest.mCalls[0].rect, Rect(0, 0, 4, 10));
  EXPECT_EQ(mDest.mCalls[0].color, Color(100, 100, 100, 255));
  EXPECT_EQ(mDest.mCalls[0].mode, 0);
  EXPECT_EQ(mDest.mCalls[1].src, mRed);
  EXPECT_EQ(mDest.mCalls[1].x, 104);  // A's widest advance 5 less the pair's 1
  EXPECT_EQ(mDest.mCalls[2].src, mGreen);
  EXPECT_EQ(mDest.mCalls[2].x, 101);
  EXPECT_EQ(mDest.mCalls[2].y, 50 - 6 + 2);
  EXPECT_EQ(mDest.mCalls[2].color, Color(255, 49, 0, 255));  // 100 + 200 held at 255
  EXPECT_EQ(mDest.mCalls[2].mode, 1);
  EXPECT_EQ(mDest.mCalls[3].rect, Rect(4, 0, 6, 10));
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[1], Rect(101, 46, 4, 10));  // character by character, layer by layer
  EXPECT_EQ(rects[2], Rect(104, 42, 6, 10));
  // The context's state is given back.
  EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 4));
  EXPECT_EQ(g.GetDrawMode(), 0);
  EXPECT_FALSE(g.GetImageColorize());
}

TEST_F(ImageFontTest, OrdersBeyondTheSlotRangeShareTheEndSlots) {
  for (const auto& [base, top, firstDrawn] :
       {std::tuple{L"-200", L"-300", 0}, std::tuple{L"500", L"127", 0}, std::tuple{L"1", L"0", 1}}) {
    ImageFont font =
        Font(std::wstring(kTwoLayers) + L"; LayerSetBaseOrder Base " + base + L"; LayerSetBaseOrder Top " + top);
    mDest.mCalls.clear();
    Graphics g(&mDest);
    font.DrawString(&g, 0, 0, L"A", Color::White, Rect());
    ASSERT_EQ(mDest.mCalls.size(), 2u);
    EXPECT_EQ(mDest.mCalls[0].src, firstDrawn == 0 ? mRed : mGreen) << base << " " << top;
  }
}

TEST_F(ImageFontTest, ThePoolHoldsAtMost4096GlyphCommands) {
  ImageFont font = Font(kTwoLayers);
  Graphics g(&mDest);
  std::vector<Rect> rects;
  int drawn = 0;
  font.DrawStringEx(&g, 0, 0, std::wstring(2049, L'A'), Color::White, Rect(), &rects, &drawn);
  EXPECT_EQ(rects.size(), 4096u);
  EXPECT_EQ(mDest.mCalls.size(), 4096u);
  EXPECT_EQ(drawn, 2048 * (5 + 1));
}

// The loading thread measures copies of a font while the main thread draws with the same layers.
TEST_F(ImageFontTest, MeasuringMissingGlyphsBesideADrawChangesNothingShared) {
  ImageFont font = Font(kTwoLayers);
  ImageFont copy(font);
  const size_t glyphs = font.mFontData->mFontLayerList.front().mCharData.size();
  std::thread measuring([&] {
    for (int i = 0; i < 200; ++i)
      EXPECT_EQ(copy.StringWidth(L"A\x4E00\x4E01"
                                 L"B"),
                5 + 1 + 1 + 8);
  });
  Graphics g(&mDest);
  for (int i = 0; i < 200; ++i) font.DrawString(&g, 0, 0, L"AB\x4E02", Color::White, Rect());
  measuring.join();
  EXPECT_EQ(font.mFontData->mFontLayerList.front().mCharData.size(), glyphs);
}

TEST_F(ImageFontTest, AFontWhoseDescriptorFailedMeasuresAndDrawsNothing) {
  ImageFont font = Font(L"CreateLayer L; LayerSetCharWidths L ('A') (5); LayerSetAscent L 9; Broken");
  EXPECT_EQ(font.GetAscent(), 0);
  EXPECT_EQ(font.StringWidth(L"AAA"), 0);
  Graphics g(&mDest);
  int drawn = -1;
  font.DrawStringEx(&g, 0, 0, L"A", Color::White, Rect(), nullptr, &drawn);
  EXPECT_EQ(drawn, 0);
  EXPECT_TRUE(mDest.mCalls.empty());
  std::unique_ptr<Velk::Font> copy(font.Duplicate());
  EXPECT_EQ(copy->StringWidth(L"A"), 0);
}

}  // namespace
}  // namespace Velk
