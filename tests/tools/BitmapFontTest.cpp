// Bitmap fonts rendered from DejaVu: the atlases and the descriptors, loaded by the game's font code.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "contentlib/FontDescriptor.h"
#include "contentlib/FontList.h"
#include "contentlib/GlyphRasterizer.h"
#include "contentlib/ImageFile.h"
#include "contentlib/Utf16Writer.h"
#include "fonts/FontData.h"
#include "fonts/ImageFont.h"
#include "graphics/Graphics.h"
#include "graphics/TestHost.h"
#include "platform/gdi/FaceFiles.h"
#include "tools/DiskFontHost.h"
#include "resources/ImageLib.h"
#include "resources/PakTestSupport.h"

namespace Content {
namespace {

constexpr const char* kFaces = GlyphRasterizer::kFaceFolder;

class BitmapFontTest : public ::testing::Test {
 protected:
  static std::vector<FontEntry> Entries() {
    std::ifstream in(std::string(CONTENT_SOURCE_DIR) + "/fonts/fonts.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<FontEntry> entries;
    Findings findings;
    EXPECT_TRUE(FontList::Parse("fonts.txt", text, entries, findings));
    return entries;
  }
  // Renders the entry's atlas and writes it with its descriptor; the descriptor's path.
  std::string Make(const FontEntry& entry, GlyphAtlas& atlas) {
    std::string error;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(mRasterizer.Render(std::string(kFaces) + "/" + entry.face, entry.pixels, atlas, error)) << error;
    EXPECT_TRUE(ImageFile::Encode(entry.atlas, atlas.picture, bytes, error)) << error;
    WriteBytes(Slashed(entry.atlas), bytes);
    const std::string descriptor = Utf16Writer::Convert(FontDescriptor::Text(entry, atlas), false);
    WriteBytes(Slashed(entry.descriptor), {descriptor.begin(), descriptor.end()});
    return Slashed(entry.descriptor);
  }
  static std::string Slashed(std::string s) {
    for (char& c : s) c = c == '\\' ? '/' : c;
    return s;
  }
  static int Width(const GlyphAtlas& atlas, const std::wstring& text, bool kerning = true) {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      for (const GlyphCell& c : atlas.cells)
        if (c.ch == text[i]) width += c.advance;
      for (const KerningPair& k : atlas.kerning)
        if (kerning && i + 1 < text.size() && k.first == text[i] && k.second == text[i + 1]) width += k.offset;
    }
    return width;
  }

  BitmapFontTest() { Velk::MemoryImageHost::SetDefault(&mImageHost); }
  ~BitmapFontTest() override { Velk::MemoryImageHost::SetDefault(nullptr); }

  Velk::Testing::TestHost mImageHost;
  WorkingScratchFolder mFolder;  // the current folder while the test runs
  GlyphRasterizer mRasterizer;
  DiskFontHost mDisk;
};

TEST_F(BitmapFontTest, AtlasCellsFollowTheAdvancesInRowsOfAtMost512) {
  GlyphAtlas atlas;
  std::string error;
  ASSERT_TRUE(mRasterizer.Render(std::string(kFaces) + "/DejaVuSans.ttf", 22, atlas, error));
  ASSERT_EQ(atlas.cells.size(), 191u);  // U+0020-U+007E and U+00A0-U+00FF
  EXPECT_EQ(atlas.cells.front().ch, u' ');
  EXPECT_EQ(atlas.cells.back().ch, u'\u00FF');
  EXPECT_LE(atlas.picture.width, 512);
  for (size_t i = 0; i < atlas.cells.size(); ++i) {
    const GlyphCell& c = atlas.cells[i];
    EXPECT_GE(c.w, 1);
    EXPECT_EQ(c.w, c.advance);
    EXPECT_EQ(c.h, atlas.lineHeight);
    if (i > 0 && atlas.cells[i - 1].y == c.y) {
      EXPECT_EQ(c.x, atlas.cells[i - 1].x + atlas.cells[i - 1].w + 1);
    }
  }
  EXPECT_GT(atlas.cells.back().y, 0);  // 190 glyphs at 22 px do not fit one row
}

TEST_F(BitmapFontTest, EveryDescriptorLoadsAndMeasuresItsGlyphs) {
  for (const FontEntry& entry : Entries()) {
    GlyphAtlas atlas;
    const std::string path = Make(entry, atlas);
    Velk::ImageFont font(&mDisk, path);
    ASSERT_TRUE(font.mFontData && font.mFontData->mInitialized) << entry.descriptor;
    EXPECT_TRUE(mDisk.mPopups.empty()) << entry.descriptor;
    EXPECT_EQ(font.StringWidth(L"Pelune AVATAR 2048"), Width(atlas, L"Pelune AVATAR 2048", entry.kerning))
        << entry.descriptor;
    // The characters the command language treats specially survive quoting.
    const std::wstring special = L"()\",;#' \\";
    EXPECT_EQ(font.StringWidth(special), Width(atlas, special)) << entry.descriptor;
    EXPECT_EQ(font.StringWidth(L"\u00E9\u00FF"), Width(atlas, L"\u00E9\u00FF")) << entry.descriptor;
    // And it draws: the text leaves ink on a cleared picture.
    Velk::MemoryImage target;
    target.CreateBlank(200, 60);
    Velk::Graphics g(&target);
    font.DrawString(&g, 10, 40, L"Pelune", Velk::Color::White, Velk::Rect(0, 0, 200, 60));
    const uint32_t* bits = target.GetArgbBits();
    EXPECT_TRUE(std::any_of(bits, bits + 200 * 60, [](uint32_t p) { return (p >> 24) != 0; })) << entry.descriptor;
  }
}

TEST_F(BitmapFontTest, KerningOnlyBetweenLettersAndDigitsAndOnlyNonzero) {
  const FontEntry serif = Entries()[5];
  ASSERT_EQ(serif.descriptor, "fonts\\serif22.txt");
  GlyphAtlas atlas;
  Velk::ImageFont font(&mDisk, Make(serif, atlas));
  auto plain = [](char16_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  for (const KerningPair& k : atlas.kerning) {
    EXPECT_TRUE(plain(k.first) && plain(k.second));
    EXPECT_NE(k.offset, 0);
  }
  if (atlas.kerning.empty()) GTEST_SKIP() << "this DejaVu build has no kerning table";
  const KerningPair& k = atlas.kerning.front();
  const std::wstring pair = {static_cast<wchar_t>(k.first), static_cast<wchar_t>(k.second)};
  EXPECT_EQ(font.StringWidth(pair), Width(atlas, pair));
}

TEST_F(BitmapFontTest, ShadowLayerOnlyWithItsTagAndTheAtlasFoundWithoutExtension) {
  const FontEntry sans13 = Entries()[0];
  ASSERT_EQ(sans13.ref, "sans13");
  GlyphAtlas atlas;
  const std::string path = Make(sans13, atlas);
  Velk::ImageFont plain(&mDisk, path);
  Velk::ImageFont shadowed(&mDisk, path);
  shadowed.AddTag("shadow");
  plain.Prepare();
  shadowed.Prepare();
  EXPECT_EQ(plain.mActiveLayerList.size(), 1u);
  EXPECT_EQ(shadowed.mActiveLayerList.size(), 2u);
  EXPECT_TRUE(mDisk.mPopups.empty());
}

TEST_F(BitmapFontTest, AtlasesAreWhiteWithCoverageAlpha) {
  std::set<std::string> seen;
  for (const FontEntry& entry : Entries()) {
    if (!seen.insert(entry.atlas).second) continue;
    GlyphAtlas atlas;
    std::string error;
    ASSERT_TRUE(mRasterizer.Render(std::string(kFaces) + "/" + entry.face, entry.pixels, atlas, error));
    std::set<uint32_t> distinct(atlas.picture.pixels.begin(), atlas.picture.pixels.end());
    EXPECT_LE(distinct.size(), 256u) << entry.atlas;
    for (uint32_t p : distinct) ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu) << entry.atlas;
  }
}

TEST_F(BitmapFontTest, FacesComeFromWhereTheSystemFontsFindThem) {
  EXPECT_EQ(std::string(kFaces) + "/DejaVuSans.ttf", FaceFilePath("Arial", false, false));
  EXPECT_EQ(std::string(kFaces) + "/DejaVuSans-Bold.ttf", FaceFilePath("Arial", true, false));
}

TEST_F(BitmapFontTest, MissingFaceNamesTheFileAndThePackage) {
  GlyphAtlas atlas;
  std::string error;
  EXPECT_FALSE(mRasterizer.Render("/nonexistent/DejaVuSans.ttf", 13, atlas, error));
  EXPECT_EQ(error, "cannot open the face /nonexistent/DejaVuSans.ttf (package fonts-dejavu-core)");
}

}  // namespace
}  // namespace Content
