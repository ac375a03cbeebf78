#include "platform/files/PathMap.h"

#include "../ScratchFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

TEST(MapPath, BackslashesAndCaseFindTheLooseFile) {
  ScratchFolder dir;
  dir.Write("data/cfg/ui.xml", "x");
  EXPECT_EQ(Velk::MapPath(dir.Path() + "\\DATA\\Cfg\\UI.XML"), dir / "data/cfg/ui.xml");
  EXPECT_EQ(Velk::MapPath(dir.Path() + "/data\\CFG/ui.xml"), dir / "data/cfg/ui.xml");
}

TEST(MapPath, ExactNameWinsOverOtherCases) {
  ScratchFolder dir;
  dir.Write("Shot.png", "upper");
  dir.Write("shot.png", "lower");
  EXPECT_EQ(Velk::MapPath(dir / "Shot.png"), dir / "Shot.png");
  EXPECT_EQ(Velk::MapPath(dir / "shot.png"), dir / "shot.png");
  // Neither matches exactly: the first in byte order ('S' < 's').
  EXPECT_EQ(Velk::MapPath(dir / "SHOT.PNG"), dir / "Shot.png");
}

TEST(MapPath, MissingPartsKeepTheirCaseInsideFoundFolders) {
  ScratchFolder dir;
  dir.Write("Saves/keep.txt", "");
  // A new file lands in the existing folder of the other case.
  EXPECT_EQ(Velk::MapPath(dir.Path() + "\\saves\\New.dat"), dir / "Saves/New.dat");
  // Below a missing folder nothing more is looked up.
  EXPECT_EQ(Velk::MapPath(dir.Path() + "\\Nope\\SAVES\\x"), dir / "Nope/SAVES/x");
  EXPECT_EQ(Velk::MapPath(""), "");
}

TEST(MapPath, RelativeNamesAreLookedUpInTheCurrentFolder) {
  ScratchFolder dir;
  dir.Write("Properties/Resources.xml", "r");
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  std::string mapped = Velk::MapPath("properties\\resources.xml");
  std::string dotted = Velk::MapPath(".\\PROPERTIES\\..\\properties\\resources.XML");
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(mapped, "Properties/Resources.xml");
  EXPECT_EQ(dotted, "./Properties/../Properties/Resources.xml");
}

TEST(OpenFile, ReadsAndWritesThroughTheMapping) {
  ScratchFolder dir;
  dir.Write("Demos/1.dmo", "abc");
  FILE* in = Velk::OpenFile(dir.Path() + "\\demos\\1.DMO", "rb");
  ASSERT_NE(in, nullptr);
  char buffer[4] = {};
  EXPECT_EQ(std::fread(buffer, 1, 3, in), 3u);
  std::fclose(in);
  EXPECT_STREQ(buffer, "abc");

  FILE* out = Velk::OpenFile(dir.Path() + "\\DEMOS\\2.dmo", "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("zz", out);
  std::fclose(out);
  EXPECT_EQ(ReadWholeFile(dir / "Demos/2.dmo"), "zz");
  EXPECT_EQ(Velk::OpenFile(dir / "none/x", "rb"), nullptr);
}

// A pipe or a folder in a loose file's place is refused at once, read or written, with a reader at
// the pipe's other end or without: an open that waited for one would hang the program.
TEST(OpenFile, OnlyAPlainFileOpens) {
  ScratchFolder dir;
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  for (const char* mode : {"rb", "r+", "wb", "a"}) {
    EXPECT_EQ(Velk::OpenFile(dir / "pipe", mode), nullptr) << mode;
    EXPECT_EQ(Velk::OpenFile(dir / "folder", mode), nullptr) << mode;
  }
  const int reader = open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(Velk::OpenFile(dir / "pipe", "wb"), nullptr);
  close(reader);
}

}  // namespace
