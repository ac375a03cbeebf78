#include "app/ImageDump.h"
#include "graphics/MemoryImage.h"
#include "graphics/TestHost.h"
#include "platform/ScratchFolder.h"
#include "resources/ImageLibImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using Velk::ImageDump;

TEST(ImageDumpTest, ThumbnailSamplesTheCellCentres) {
  // 128 x 2 source: thumbnail x takes source column floor((x + 0.5) * 2) = 2x + 1, row y takes floor((y + 0.5) / 32).
  std::vector<uint32_t> bits(128 * 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 128; ++x) bits[static_cast<size_t>(y * 128 + x)] = static_cast<uint32_t>(y * 1000 + x);
  auto thumb = ImageDump::Thumbnail(bits.data(), 128, 2);
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->Row(0)[0], 1u);
  EXPECT_EQ(thumb->Row(0)[63], 127u);
  EXPECT_EQ(thumb->Row(31)[5], 11u);
  EXPECT_EQ(thumb->Row(32)[5], 1011u);
  EXPECT_FALSE(ImageDump::Thumbnail(bits.data(), 0, 2));
}

// A new page replaces the old one whole: another name of the old page keeps it.
TEST(ImageDumpTest, ThePageIsReplacedWhole) {
  Velk::Testing::TestHost host;
  Velk::MemoryImage image(&host);
  ScratchFolder scratch;
  const std::filesystem::path dir = scratch.Path();
  ASSERT_TRUE(ImageDump::Write(dir.string() + "/", {&image}, "Mon"));
  std::filesystem::create_hard_link(dir / "imagelist.html", dir / "old.html");
  ASSERT_TRUE(ImageDump::Write(dir.string() + "/", {&image}, "Tue"));
  std::ifstream old(dir / "old.html");
  const std::string page((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
  EXPECT_NE(page.find("Mon"), std::string::npos);
  EXPECT_EQ(page.find("Tue"), std::string::npos);
}

TEST(ImageDumpTest, PageListsImagesLargestFirstAndSkipsEmptyPictures) {
  Velk::Testing::TestHost host;
  Velk::MemoryImage empty(&host);
  Velk::MemoryImage small(&host);
  std::vector<uint32_t> pixels(16, 0xFF00FF00);
  small.SetPixels(pixels.data(), 2, 2, true);
  small.mFilePath = "images\\a";
  Velk::MemoryImage large(&host);
  large.SetPixels(pixels.data(), 4, 4, true);
  ScratchFolder scratch;
  std::filesystem::path dir = scratch.Path();
  ASSERT_TRUE(ImageDump::Write(dir.string() + "/", {&empty, &small, &large}, "Sun"));
  std::ifstream file(dir / "imagelist.html");
  std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // 4x4x4 + 2x2x4 bytes of pixels.
  EXPECT_NE(page.find("<B>Sun</B></FONT><BR>\nTotal Image Allocation: 80 bytes<BR>\n"), std::string::npos);
  size_t first = page.find("4 x 4<BR>64 bytes</TD>\n<TD>mBits<BR>64</TD>\n<TD>&nbsp;</TD>\n");
  size_t second = page.find("2 x 2<BR>16 bytes");
  size_t third = page.find("0 x 0<BR>0 bytes</TD>\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_NE(page.find("<TD>images\\a</TD>"), std::string::npos);
  // The empty image: every size cell and the path blank.
  std::string emptyRow = page.substr(third);
  emptyRow = emptyRow.substr(0, emptyRow.find("</TR>"));
  EXPECT_EQ(emptyRow.find("<BR>", 9), std::string::npos) << emptyRow;
  EXPECT_TRUE(std::filesystem::exists(dir / "img0000.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "thumb0001.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "img0002.png"));
  EXPECT_NE(page.find("<TD>Totals</TD>\n<TD>80</TD>\n<TD>80</TD>\n<TD>0</TD>"), std::string::npos);
}

}  // namespace
