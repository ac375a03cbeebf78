// The generated art: every style fills its size the same way every time, and the shapes keep the
// promises the screens rely on (button states, see-through corners, labels inside their box).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "contentlib/AnimBuilder.h"
#include "contentlib/FlatArt.h"
#include "contentlib/ImageFile.h"
#include "resources/ImageLib.h"
#include "resources/PakTestSupport.h"

namespace Content {
namespace {

constexpr const char* kFaces = GlyphRasterizer::kFaceFolder;

// Rendered once: the font is large and every test reads the same pictures.
const Pictograms& LoadedPictograms() {
  static const Pictograms pictograms = [] {
    Pictograms loaded;
    std::string error;
    EXPECT_TRUE(loaded.Load(Pictograms::kFontPath, error)) << error;
    return loaded;
  }();
  return pictograms;
}

class FlatArtTest : public ::testing::Test {
 protected:
  Picture Draw(const std::string& file, int w, int h, const std::string& style,
               std::map<std::string, std::string> options = {}) {
    Picture picture;
    std::string error;
    EXPECT_TRUE(mArt.Draw({file, w, h, style, std::move(options)}, picture, error)) << style << ": " << error;
    return picture;
  }

  GlyphRasterizer mRasterizer;
  FlatArt mArt{mRasterizer, kFaces, LoadedPictograms()};
};

// Options that exercise a label or a glyph where the style takes one.
std::map<std::string, std::string> Exercising(const std::set<std::string>& keys) {
  std::map<std::string, std::string> options;
  if (keys.count("label")) options["label"] = "Day_1";
  if (keys.count("title")) options["title"] = "Menu";
  if (keys.count("glyph")) options["glyph"] = "star";
  if (keys.count("picture")) options["picture"] = "coffee,cake";
  return options;
}

TEST_F(FlatArtTest, EveryStyleFillsItsSizeTheSameWayTwice) {
  for (const auto& [style, keys] : FlatArt::Styles()) {
    const Picture one = Draw("a.png", 64, 48, style, Exercising(keys));
    const Picture two = Draw("a.png", 64, 48, style, Exercising(keys));
    ASSERT_EQ(one.width, 64) << style;
    ASSERT_EQ(one.height, 48) << style;
    EXPECT_EQ(one.pixels, two.pixels) << style;
    bool drawn = false;
    for (uint32_t p : one.pixels) drawn = drawn || (p >> 24) != 0;
    EXPECT_TRUE(drawn) << style << " drew nothing";
  }
}

TEST_F(FlatArtTest, Button4StacksFourStatesOfTheButtonsHeight) {
  const Picture b = Draw("b.png", 80, 4 * 30, "button4", {{"colour", "#805030"}});
  auto centre = [&](int state) { return b.At(40, state * 30 + 15); };
  EXPECT_EQ(centre(0), 0xFF805030u);
  EXPECT_EQ(centre(1), 0xFF9A603Au);  // +20 %: 0x80*1.2 = 153.6, 0x50*1.2 = 96, 0x30*1.2 = 57.6
  EXPECT_EQ(centre(2), 0xFF664026u);  // -20 %: 102.4, 64, 38.4
  EXPECT_EQ(centre(3), 0xFFB0B0B0u);
  // The pressed state is shifted one pixel right and down.
  EXPECT_EQ(b.At(0, 2 * 30 + 15) >> 24, 0u);
  EXPECT_NE(b.At(1, 15) >> 24, 0u);
  Picture out;
  std::string error;
  EXPECT_FALSE(mArt.Draw({"b.png", 80, 30, "button4", {}}, out, error));
  EXPECT_EQ(error, "button4 needs a height divisible by 4 (four states)");
}

// A tick on a white box is drawn in the ink asked for, else it would vanish into the box.
TEST_F(FlatArtTest, AnIconsGlyphTakesItsInk) {
  auto count = [](const Picture& p, uint32_t colour) { return std::count(p.pixels.begin(), p.pixels.end(), colour); };
  const Picture plain = Draw("t.png", 24, 24, "icon", {{"colour", "white"}, {"glyph", "tick"}, {"shape", "square"}});
  const Picture inked =
      Draw("t.png", 24, 24, "icon", {{"colour", "white"}, {"glyph", "tick"}, {"shape", "square"}, {"ink", "#3B2A1E"}});
  EXPECT_EQ(count(plain, 0xFF3B2A1Eu), 0);
  EXPECT_GT(count(inked, 0xFF3B2A1Eu), 10);
  EXPECT_GT(count(plain, 0xFFFFFFFFu), count(inked, 0xFFFFFFFFu) + 10);
}

// A selection mark laid over a tile: its frame in the border colour, the tile's own picture in sight.
TEST_F(FlatArtTest, ASeeThroughPanelIsItsFrameAlone) {
  const Picture mark = Draw("s.png", 128, 128, "panel", {{"colour", "#00000000"}, {"border", "#FFD700"}});
  for (auto [x, y] : {std::pair{0, 0}, std::pair{3, 64}, std::pair{124, 64}, std::pair{64, 127}})
    EXPECT_EQ(mark.At(x, y), 0xFFFFD700u) << x << "," << y;
  for (auto [x, y] : {std::pair{4, 4}, std::pair{64, 64}, std::pair{123, 123}})
    EXPECT_EQ(mark.At(x, y) >> 24, 0u) << x << "," << y;
}

TEST_F(FlatArtTest, PanelCornersAreSeeThroughOnlyWhereTheFormatKeepsAlpha) {
  const Picture panel = Draw("p.png", 100, 60, "panel", {{"title", "Options"}});
  for (auto [x, y] : {std::pair{0, 0}, std::pair{99, 0}, std::pair{0, 59}, std::pair{99, 59}})
    EXPECT_EQ(panel.At(x, y) >> 24, 0u) << x << "," << y;
  EXPECT_EQ(panel.At(50, 30) >> 24, 0xFFu);

  WorkingScratchFolder folder;
  ImageLib::LoadJ2KCodec();
  for (const char* file : {"p.png", "p.tga", "p.jpg", "p.jp2", "p.gif"}) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ImageFile::Encode(file, panel, bytes, error)) << file << ": " << error;
    WriteBytes(file, bytes);
    std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(file, false));
    ASSERT_TRUE(image) << file;
    std::set<uint32_t> alphas;
    for (int64_t i = 0; i < image->PixelCount(); ++i) alphas.insert(image->GetBits()[i] >> 24);
    const bool keepsAlpha = ImageFile::KeepsAlpha(file), gif = std::string(file) == "p.gif";
    EXPECT_EQ(alphas.count(0), keepsAlpha || gif ? 1u : 0u) << file;
    if (!keepsAlpha) {
      EXPECT_EQ(alphas.size(), gif ? 2u : 1u) << file << ": no partial alpha";
    }
  }
  ImageLib::FreeJ2KCodec();
}

TEST_F(FlatArtTest, LabelsStayInsideTheirBox) {
  Picture p(120, 40);
  std::string error;
  ASSERT_TRUE(mRasterizer.DrawLabel(std::string(kFaces) + "/DejaVuSans.ttf", "A label far too long for its box", p, 20,
                                    10, 60, 16, 0xFF000000, error));
  int inked = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      if ((p.At(x, y) >> 24) == 0) continue;
      ++inked;
      ASSERT_TRUE(x >= 20 && x < 80 && y >= 10 && y < 26) << x << "," << y;
    }
  EXPECT_GT(inked, 50);
}

TEST_F(FlatArtTest, CelStripsAndBadOptions) {
  const Picture strip = Draw("s.png", 64, 16, "ring", {{"cels", "4"}});
  const Picture third = Draw("c.png", 16, 16, "ring", {{"frame", "2"}, {"of", "4"}});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(strip.At(32 + x, y), third.At(x, y));
  Picture out;
  std::string error;
  EXPECT_FALSE(mArt.Draw({"a.png", 10, 10, "solid", {{"colour", "mauve"}}}, out, error));
  EXPECT_EQ(error, "unknown colour 'mauve' for colour");
  EXPECT_FALSE(mArt.Draw({"a.png", 10, 10, "pie", {{"fill", "8"}}}, out, error));
  EXPECT_EQ(error, "fill must be a whole number from 0 to 7");
  EXPECT_FALSE(mArt.Draw({"a.png", 30, 10, "ring", {{"cels", "4"}}}, out, error));
  EXPECT_EQ(error, "cels must be 1 to 64 and divide the width");
  EXPECT_FALSE(mArt.Draw({"a.png", 10, 10, "icon", {{"picture", "coffee,teapot"}}}, out, error));
  EXPECT_EQ(error, "unknown picture 'teapot'");
}

// The pictures in the order bubbles: each product its own pictogram, a mask of one product the
// same picture as the product, a combination a picture of its own.
TEST(AnimPictureTest, EachProductAndCombinationShowsItsOwnPicture) {
  AnimEntry bubble;
  bubble.part = "dish";
  bubble.width = 20;
  bubble.height = 20;
  bubble.shape = "picture";
  const std::vector<std::string> words = {"cake", "juice", "sandwich", "0030", "1004", "think", "0034"};
  for (const std::string& word : words) bubble.words.push_back({word});
  std::map<std::string, std::vector<uint8_t>> files;
  Findings findings;
  ASSERT_TRUE(AnimBuilder::Build(bubble, LoadedPictograms(), files, findings));
  ScratchFolder folder;
  WriteBytes("dish.png", files.at("anm\\img\\dish.png"));
  std::unique_ptr<ImageLib::Image> atlas(LoadImageByExtension("dish.png", true));
  ASSERT_TRUE(atlas);
  std::map<std::string, std::vector<uint32_t>> cells;
  for (size_t row = 0; row < words.size(); ++row)
    for (int y = 0; y < 20; ++y) {
      const uint32_t* line = atlas->Row(static_cast<int>(row) * 20 + y);
      cells[words[row]].insert(cells[words[row]].end(), line, line + 20);
    }
  EXPECT_EQ(cells["0030"], cells["juice"]) << "the juicer's mask 0030 looks like the juice it is";
  const std::set<std::vector<uint32_t>> distinct = [&] {
    std::set<std::vector<uint32_t>> set;
    for (const auto& [word, pixels] : cells) set.insert(pixels);
    return set;
  }();
  EXPECT_EQ(distinct.size(), words.size() - 1) << "every other word, 'think' too, is a picture of its own";
}

}  // namespace
}  // namespace Content
