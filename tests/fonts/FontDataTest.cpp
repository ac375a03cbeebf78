#include <gtest/gtest.h>

#include <filesystem>

#include "common/StringUtil.h"
#include "fonts/FontData.h"
#include "fonts/FontTestSupport.h"

namespace Velk {
namespace {

using Testing::FontTest;

class FontDataTest : public FontTest {
 protected:
  // Loads a descriptor made of the text; the font data is kept for inspection.
  FontData& Load(const std::wstring& text, const std::string& name = "font.txt") {
    mPath = Descriptor(name, text);
    EXPECT_TRUE(mData.Load(&mHost, mPath));
    return mData;
  }
  FontLayer& Layer(const std::string& name) { return *mData.mFontLayerMap.at(name); }
  std::wstring LastPopup() { return mHost.mPopups.empty() ? L"" : mHost.mPopups.back(); }

  FontData mData;
  std::string mPath;
};

TEST_F(FontDataTest, AFullDescriptorBuildsItsLayers) {
  MemoryImage* glyphs = mHost.AddImage(mFolder / "fonts/glyphs.png", 40, 60, 0xFF00FF00);
  Load(
      L"# every command\n"
      L"SetDefaultPointSize 12;\n"
      L"Define Letters ('A', 'B'); define widek 7;\n"
      L"CreateHorzSpanRectList Rects (10 20 0 30) (5 6);\n"
      L"createlayer Main;\n"
      L"LayerSetImage main 'glyphs.png';\n"
      L"LayerSetImageMap MAIN Letters Rects;\n"
      L"LayerSetCharWidths Main Letters (6 WideK);\n"
      L"LayerSetCharOffsets Main ('A' 'B') ((1 -2) (0 3));\n"
      L"LayerSetKerningPairs Main (\"AB\" \"BA\") (-300 4);\n"
      L"LayerSetCharOrders Main ('B') (2);\n"
      L"LayerSetBaseOrder Main -1; LayerSetAscent Main 25; LayerSetAscentPadding Main 3;\n"
      L"LayerSetLineSpacingOffset Main -2; LayerSetOffset Main (4 5); LayerSetSpacing Main 1;\n"
      L"LayerSetPointSize Main 12; LayerSetHeight Main 31; LayerPointRange Main 8 40;\n"
      L"LayerSetDrawMode Main 1; LayerSetColorMult Main (1 0.5 0 1); LayerSetColorAdd Main 0x01020304;\n"
      L"LayerRequireTags Main ('bold'); LayerExcludeTags Main ('italic' \"Small\");\n"
      L"CreateLayerFrom Shadow Main; LayerSetCharOffsetsShift Shadow 1 2 3; LayerSetBaseOrder shadow 4",
      "fonts/main.txt");
  EXPECT_TRUE(mData.mInitialized) << mData.mError;
  EXPECT_TRUE(mHost.mPopups.empty());
  EXPECT_EQ(mHost.mRequests, std::vector<std::string>{mFolder / "fonts/glyphs.png"});
  EXPECT_NE(glyphs->mColorTable, nullptr);  // reduced to a palette when first loaded
  EXPECT_EQ(mData.mDefaultPointSize, 12);

  const FontLayer& main = Layer("MAIN");
  EXPECT_EQ(main.mImage.get(), glyphs);
  EXPECT_EQ(main.FindGlyph(L'A').mImageRect, Rect(10, 20, 5, 30));
  EXPECT_EQ(main.FindGlyph(L'B').mImageRect, Rect(15, 20, 6, 30));
  EXPECT_EQ(main.mDefaultHeight, 30);
  EXPECT_EQ(main.FindGlyph(L'A').mWidth, 6);
  EXPECT_EQ(main.FindGlyph(L'B').mWidth, 7);
  EXPECT_EQ(main.FindGlyph(L'A').mOffsetY, -2);
  EXPECT_EQ(main.FindGlyph(L'B').mOffsetY, 3);
  EXPECT_EQ(main.FindGlyph(L'A').KerningTo(L'B'), -44);
  EXPECT_EQ(main.FindGlyph(L'B').KerningTo(L'A'), 4);
  EXPECT_EQ(main.FindGlyph(L'B').mOrder, 2);
  EXPECT_EQ(main.mBaseOrder, -1);
  EXPECT_EQ(main.mAscent, 25);
  EXPECT_EQ(main.mAscentPadding, 3);
  EXPECT_EQ(main.mLineSpacingOffset, -2);
  EXPECT_EQ(main.mOffsetX, 4);
  EXPECT_EQ(main.mOffsetY, 5);
  EXPECT_EQ(main.mSpacing, 1);
  EXPECT_EQ(main.mPointSize, 12);
  EXPECT_EQ(main.mHeight, 31);
  EXPECT_EQ(main.mMinPointSize, 8);
  EXPECT_EQ(main.mMaxPointSize, 40);
  EXPECT_EQ(main.mDrawMode, 1);
  EXPECT_EQ(main.mColorMult, Color(255, 127, 0, 255));
  EXPECT_EQ(main.mColorAdd, Color(2, 3, 4, 1));
  EXPECT_EQ(main.mRequiredTags, std::vector<std::string>{"BOLD"});
  EXPECT_EQ(main.mExcludedTags, (std::vector<std::string>{"ITALIC", "SMALL"}));

  const FontLayer& shadow = Layer("SHADOW");
  EXPECT_EQ(mData.mFontLayerList.size(), 2u);
  EXPECT_EQ(&mData.mFontLayerList.back(), &shadow);
  EXPECT_EQ(shadow.mImage, main.mImage);
  EXPECT_EQ(shadow.FindGlyph(L'A').KerningTo(L'B'), -44);
  EXPECT_EQ(shadow.mExcludedTags, main.mExcludedTags);
  EXPECT_EQ(shadow.mBaseOrder, 4);

  ASSERT_NE(mData.FindDefine(L"rects"), nullptr);
  EXPECT_EQ(DescParser::DataElementToString(*mData.FindDefine(L"RECTS")), L"((10, 20, 5, 30), (15, 20, 6, 30))");
  EXPECT_EQ(DescParser::DataElementToString(*mData.FindDefine(L"Letters")), L"(A, B)");

  // Read once: a second load changes nothing.
  EXPECT_FALSE(mData.Load(&mHost, mPath));
  EXPECT_EQ(mData.mFontLayerList.size(), 2u);
}

TEST_F(FontDataTest, LayerImagesOfADescriptorAtTheRootAreLookedUpByTheirBareName) {
  mHost.AddImage("img.png", 4, 4, 0xFFFFFFFF);
  const std::filesystem::path old = std::filesystem::current_path();
  Descriptor("root.txt", L"CreateLayer L; LayerSetImage L \"img.png\"");
  std::filesystem::current_path(mFolder.Path());
  EXPECT_TRUE(mData.Load(&mHost, "root.txt"));
  std::filesystem::current_path(old);
  EXPECT_TRUE(mData.mInitialized) << mData.mError;
  EXPECT_EQ(mHost.mRequests, std::vector<std::string>{"img.png"});
}

TEST_F(FontDataTest, ErrorsNameTheFileTheLineAndTheCommandAndStopTheFile) {
  Load(L"CreateLayer A;\n\n  Bogus x\n y; CreateLayer B");
  EXPECT_FALSE(mData.mInitialized);
  ASSERT_EQ(mHost.mPopups.size(), 1u);
  EXPECT_EQ(LastPopup(),
            L"Font Descriptor Error in " + Widen(mPath) + L"\r\nUnknown Command on Line 3:\r\n\r\nBogus x\ny");
  EXPECT_EQ(mData.mError, LastPopup());
  // What came before stays.
  EXPECT_EQ(mData.mFontLayerMap.count("A"), 1u);
  EXPECT_EQ(mData.mFontLayerMap.count("B"), 0u);
}

TEST_F(FontDataTest, ParameterCountAndTypeErrors) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"LayerSetDrawMode L 2", L"Invalid Paramater Type"},
      {L"LayerSetDrawMode L -1", L"Invalid Paramater Type"},
      {L"LayerSetSpacing L", L"Invalid Number of Parameters"},
      {L"LayerSetSpacing L 1 2", L"Invalid Number of Parameters"},
      {L"LayerSetSpacing L x", L"Invalid Paramater Type"},
      {L"LayerSetSpacing L (1)", L"Invalid Paramater Type"},
      {L"LayerSetOffset L (1 2 3)", L"Invalid Paramater Type"},
      {L"LayerSetCharWidths L ('a' 'b') (1)", L"List Size Mismatch"},
      {L"LayerSetCharWidths L ('ab' 'c') (1 2)", L"Invalid Paramater Type"},
      {L"LayerSetKerningPairs L ('ABC') (1)", L"Invalid Paramater Type"},
      {L"LayerSetCharOffsets L ('a') ((1))", L"Invalid Paramater Type"},
      {L"LayerSetColorMult L (1 1 1)", L"Invalid Paramater Type"},
      {L"LayerSetImageMap L ('a') ((0 0 1 1))", L"Layer image not set"},
      {L"LayerSetImage L 'missing.png'", L"Failed to Load Image"},
      {L"Define 5x 1", L"Invalid Paramater Type"},
      {L"CreateHorzSpanRectList R (1 2 3) (4)", L"Invalid Paramater Type"},
      {L"Define D (a)", L"Unable to Dereference \"a\""},
  };
  for (const auto& [command, error] : cases) {
    FontData data;
    mHost.mPopups.clear();
    const std::string path = Descriptor("case.txt", std::wstring(L"CreateLayer L;\n") + command + L";\nCreateLayer M");
    data.Load(&mHost, path);
    EXPECT_FALSE(data.mInitialized) << command;
    ASSERT_EQ(mHost.mPopups.size(), 1u) << command << LastPopup();
    EXPECT_NE(LastPopup().find(std::wstring(L"\r\n") + error + L" on Line 2:"), std::wstring::npos) << command;
    EXPECT_EQ(data.mFontLayerMap.count("M"), 0u) << command;
  }
}

TEST_F(FontDataTest, AnUndefinedLayerIsReportedThenATypeError) {
  Load(L"LayerSetSpacing Nope 1");
  ASSERT_EQ(mHost.mPopups.size(), 2u);
  EXPECT_NE(mHost.mPopups[0].find(L"Undefined Layer"), std::wstring::npos);
  EXPECT_NE(mHost.mPopups[1].find(L"Invalid Paramater Type"), std::wstring::npos);
}

TEST_F(FontDataTest, ListCommandsApplyTheGoodPairsBeforeFailing) {
  mHost.AddImage(mFolder / "g.png", 40, 10, 0xFFFFFFFF);
  Load(
      L"CreateLayer L; LayerSetImage L g.png;\n"
      L"LayerSetImageMap L ('a' 'b' 'c') ((0 0 2 2) (39 0 2 2) (0 0 1 1))");
  EXPECT_NE(LastPopup().find(L"Image rectangle out of bounds"), std::wstring::npos) << LastPopup();
  EXPECT_EQ(Layer("L").FindGlyph(L'a').mImageRect, Rect(0, 0, 2, 2));
  EXPECT_EQ(Layer("L").FindGlyph(L'c').mImageRect, Rect());

  FontData widths;
  widths.Load(&mHost, Descriptor("w.txt", L"CreateLayer L; LayerSetCharWidths L ('a' 'xy' 'd') (1 2 3)"));
  EXPECT_FALSE(widths.mInitialized);
  const FontLayer& layer = *widths.mFontLayerMap.at("L");
  EXPECT_EQ(layer.FindGlyph(L'a').mWidth, 1);
  EXPECT_EQ(layer.FindGlyph(L'd').mWidth, 3);
  EXPECT_NE(LastPopup().find(L"Invalid Paramater Type"), std::wstring::npos);
}

TEST_F(FontDataTest, ADuplicateLayerNameWarnsAndLaterCommandsAddressTheFirst) {
  Load(
      L"CreateLayer L; CREATELAYER l; LayerSetSpacing l 5; LayerSetCharOffsetsShift;\n"
      L"Define X 5; Define x 6");
  EXPECT_TRUE(mData.mInitialized);
  ASSERT_EQ(mHost.mPopups.size(), 1u);
  EXPECT_NE(LastPopup().find(L"Layer Already Exists"), std::wstring::npos);
  ASSERT_EQ(mData.mFontLayerList.size(), 2u);
  EXPECT_EQ(mData.mFontLayerList.front().mSpacing, 5);
  EXPECT_EQ(mData.mFontLayerList.back().mSpacing, 0);
  EXPECT_EQ(DescParser::DataElementToString(*mData.FindDefine(L"X")), L"6");
}

TEST(FontDataNoHostTest, ErrorsWithoutAnApplicationAreOnlyKept) {
  ScratchFolder folder;
  folder.Write("f.txt", WideToUtf16LE(L"Nothing"));
  FontData data;
  EXPECT_TRUE(data.Load(nullptr, folder / "f.txt"));
  EXPECT_FALSE(data.mInitialized);
  EXPECT_NE(data.mError.find(L"Unknown Command on Line 1:\r\n\r\nNothing"), std::wstring::npos);
}

}  // namespace
}  // namespace Velk
