#include "e2e/FrameGrid.h"

#include <gtest/gtest.h>

namespace E2e {
namespace {

Frame Filled(uint32_t colour) { return Frame{800, 600, std::vector<uint32_t>(800 * 600, colour)}; }

TEST(FrameGrid, CellsAverageTheirTwentyFiveSquarePixels) {
  Frame frame = Filled(0xFF0000);
  // The right half blue; then one cell a checkerboard of black and blue, blue on even squares:
  // 313 of its 625 pixels, 255 * 313 / 625 = 127.7, which rounds to 0x80.
  for (int y = 0; y < 600; ++y) {
    for (int x = 400; x < 800; ++x) frame.pixels[y * 800 + x] = 0x0000FF;
  }
  for (int y = 50; y < 75; ++y) {
    for (int x = 100; x < 125; ++x) frame.pixels[y * 800 + x] = (x + y) % 2 == 0 ? 0x0000FF : 0x000000;
  }
  const FrameGrid grid = FrameGrid::Reduce(frame);
  EXPECT_EQ(grid.Cell(0, 0), 0xFF0000u);
  EXPECT_EQ(grid.Cell(15, 23), 0xFF0000u);
  EXPECT_EQ(grid.Cell(16, 0), 0x0000FFu);
  EXPECT_EQ(grid.Cell(31, 23), 0x0000FFu);
  EXPECT_EQ(grid.Cell(4, 2), 0x000080u);
}

TEST(FrameGrid, AveragesAreClippedToTheFrame) {
  Frame frame = Filled(0x000000);
  frame.pixels[0] = 0x6496C8;
  EXPECT_EQ(frame.Average(-10, -10, 11, 11), 0x6496C8u) << "only the pixel inside counts";
  EXPECT_EQ(frame.Average(800, 0, 5, 5), 0u);
  EXPECT_EQ(frame.Average(0, 0, 2, 1), 0x324B64u);
}

TEST(FrameGrid, TextRoundTripsAndBadTextIsRefused) {
  Frame frame = Filled(0x102030);
  frame.pixels[599 * 800 + 799] = 0xFFFFFF;
  const FrameGrid grid = FrameGrid::Reduce(frame);
  const std::string text = grid.ToText("sample");
  const std::optional<FrameGrid> back = FrameGrid::Parse(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->MaxDistance(grid), 0);
  EXPECT_EQ(back->Cell(31, 23), grid.Cell(31, 23));

  const size_t lastLine = text.rfind('\n', text.size() - 2);
  EXPECT_FALSE(FrameGrid::Parse(text.substr(0, lastLine + 1))) << "23 rows";
  EXPECT_FALSE(FrameGrid::Parse(text + "102030\n")) << "a 25th row";
  std::string wide = text;
  wide.insert(wide.find('\n', wide.find('\n') + 1), " 102030");  // the first grid row, after the comment
  EXPECT_FALSE(FrameGrid::Parse(wide)) << "33 columns";
  std::string bad = text;
  bad[bad.find('\n') + 1] = 'g';
  EXPECT_FALSE(FrameGrid::Parse(bad));
  EXPECT_FALSE(FrameGrid::Parse(""));
}

TEST(FrameGrid, TheDistanceIsTheWorstChannelOfTheWorstCell) {
  Frame a = Filled(0x808080), b = Filled(0x808080);
  for (int y = 100; y < 125; ++y) {
    for (int x = 50; x < 75; ++x) b.pixels[y * 800 + x] = 0x7F8D80;  // red -1, green +13
  }
  int cell = -1;
  EXPECT_EQ(FrameGrid::Reduce(a).MaxDistance(FrameGrid::Reduce(b), &cell), 13);
  EXPECT_EQ(cell, 4 * FrameGrid::kColumns + 2);
  EXPECT_EQ(Frame::ChannelDistance(0x00FF00, 0x000000), 255);
}

}  // namespace
}  // namespace E2e
