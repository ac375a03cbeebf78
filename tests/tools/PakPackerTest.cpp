#include "resources/PakPacker.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "resources/PakTestSupport.h"
#include "resources/PakFormat.h"
#include "resources/PakInterface.h"
#include "resources/PakWriter.h"

namespace Velk {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(PakWriterTest, WritesTheFormatFieldByField) {
  PakWriter writer;
  std::string error;
  ASSERT_TRUE(writer.AddMember("b\\Two", Bytes("xyz"), 0x0102030405060708ULL, error));
  ASSERT_TRUE(writer.AddMember("a", Bytes(""), 0, error));
  // Records in key order ("A" before "B\TWO"), data back to back in the same order.
  std::vector<uint8_t> expected =
      PlainPak().Header().Record("a", 0).Record("b\\Two", 3, 0x05060708, 0x01020304).End().Text("xyz").Stored();
  EXPECT_EQ(writer.Build(), expected);
}

TEST(PakWriterTest, RefusesNamesTheReaderCannotTellApart) {
  PakWriter writer;
  std::string error;
  ASSERT_TRUE(writer.AddMember("cfg\\ui.xml", {}, 0, error));
  EXPECT_FALSE(writer.AddMember("CFG\\UI.xml", {}, 0, error));
  EXPECT_NE(error.find("differ only in case"), std::string::npos);
  EXPECT_FALSE(writer.AddMember("", {}, 0, error));
  EXPECT_FALSE(writer.AddMember(std::string(256, 'n'), {}, 0, error));
  EXPECT_TRUE(writer.AddMember(std::string(255, 'n'), {}, 0, error));
  EXPECT_FALSE(writer.AddMember("caf\xE9", {}, 0, error));
  EXPECT_NE(error.find("ASCII"), std::string::npos);
}

class PakPackerTest : public ::testing::Test {
 protected:
  WorkingScratchFolder folder;
};

TEST_F(PakPackerTest, CreateListAndExtractRoundTrip) {
  WriteBytes("in/Cfg/ui.xml", Bytes("<ui>\r\n</ui>"));
  WriteBytes("in/Cfg/deep/x.bin", {0, 13, 10, 255});
  WriteBytes("in/loose", {});
  std::string error;
  ASSERT_TRUE(PakPacker::Create("out.pak", "in", PakPacker::TimeStamps::Fixed, error)) << error;

  std::ostringstream listing;
  ASSERT_TRUE(PakPacker::List("out.pak", listing, error)) << error;
  EXPECT_EQ(listing.str(), "4  Cfg\\deep\\x.bin\n11  Cfg\\ui.xml\n0  loose\n");

  ASSERT_TRUE(PakPacker::Extract("out.pak", "back", error)) << error;
  EXPECT_EQ(ReadBytes("back/Cfg/ui.xml"), Bytes("<ui>\r\n</ui>"));
  EXPECT_EQ(ReadBytes("back/Cfg/deep/x.bin"), (std::vector<uint8_t>{0, 13, 10, 255}));
  EXPECT_TRUE(std::filesystem::exists("back/loose"));

  // Fixed time stamps make the output reproducible.
  ASSERT_TRUE(PakPacker::Create("again.pak", "in", PakPacker::TimeStamps::Fixed, error));
  EXPECT_EQ(ReadBytes("again.pak"), ReadBytes("out.pak"));
}

TEST_F(PakPackerTest, FailuresAreReportedAndLeaveNothingBehind) {
  std::string error;
  EXPECT_FALSE(PakPacker::Create("x.pak", "no-such-folder", PakPacker::TimeStamps::Fixed, error));
  EXPECT_NE(error.find("no-such-folder"), std::string::npos);

  WriteBytes("dup/a.txt", {});
  WriteBytes("dup/A.TXT", {});
  EXPECT_FALSE(PakPacker::Create("dup.pak", "dup", PakPacker::TimeStamps::Fixed, error));
  EXPECT_FALSE(std::filesystem::exists("dup.pak"));

  std::ostringstream listing;
  PlainPak().Header(0xBAC04AC0, 1).End().WriteTo("v1.pak");
  EXPECT_FALSE(PakPacker::List("v1.pak", listing, error));
  EXPECT_FALSE(PakPacker::List("absent.pak", listing, error));
  EXPECT_EQ(listing.str(), "");
}

TEST_F(PakPackerTest, ExtractRefusesNamesThatLeaveTheFolder) {
  for (const char* name : {"..\\escape", "a\\..\\..\\escape", "\\abs", "c:x", "a\\\\b"}) {
    PlainPak().Header().Record("fine", 1).Record(name, 1).End().Text("ok").WriteTo("evil.pak");
    std::string error;
    EXPECT_FALSE(PakPacker::Extract("evil.pak", "target/inner", error)) << name;
    EXPECT_FALSE(std::filesystem::exists("target/inner/fine")) << name;
    EXPECT_FALSE(std::filesystem::exists("target/escape")) << name;
  }
}

// Bytes that no member covers: an end mark where the first record's flags were, or a stray byte
// at the end. The program still mounts such archives and says so; the packer's own tools refuse them.
TEST_F(PakPackerTest, ArchivesWithUncoveredBytesAreReportedAndRefusedByTheTools) {
  WriteBytes("in/big.bin", std::vector<uint8_t>(20000, 7));
  WriteBytes("in/small.txt", Bytes("hello"));
  std::string error;
  ASSERT_TRUE(PakPacker::Create("good.pak", "in", PakPacker::TimeStamps::Fixed, error)) << error;
  std::vector<uint8_t> good = ReadBytes("good.pak");
  std::vector<uint8_t> flipped = good;
  flipped[8] = PakScrambleByte(0xFF);
  WriteBytes("flipped.pak", flipped);
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  WriteBytes("trailing.pak", trailing);

  // Header 8 bytes, then one end mark: everything after byte 9 is uncovered.
  const std::pair<const char*, size_t> kDamaged[] = {{"flipped.pak", good.size() - 9}, {"trailing.pak", 1}};
  for (auto [name, uncovered] : kDamaged) {
    PakInterface pak;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(pak.MountArchive(name)) << name;
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(name), std::string::npos) << log;
    EXPECT_NE(log.find(std::to_string(uncovered) + " bytes"), std::string::npos) << log;
    std::ostringstream listing;
    EXPECT_FALSE(PakPacker::List(name, listing, error)) << name;
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_FALSE(PakPacker::Extract(name, "out", error)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists("out"));

  PakInterface pak;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(pak.MountArchive("good.pak"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  std::ostringstream listing;
  EXPECT_TRUE(PakPacker::List("good.pak", listing, error)) << error;
  EXPECT_EQ(listing.str(), "20000  big.bin\n5  small.txt\n");
}

// The program itself: help, usage errors and failures give distinct exit codes.
TEST_F(PakPackerTest, ToolExitCodes) {
  std::string tool = std::string(TEST_BINARY_DIR) + "/tools/pakpack";
  if (!std::filesystem::exists(tool)) GTEST_SKIP() << "pakpack not built";
  auto run = [&](const std::string& args) {
    int status = std::system((tool + " " + args + " >out.txt 2>err.txt").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("--help"), 0);
  EXPECT_NE(ReadBytes("out.txt").size(), 0u);
  EXPECT_EQ(run(""), 2);
  EXPECT_EQ(run("create only-one"), 2);
  EXPECT_EQ(run("create a.pak in --mtime sometimes"), 2);
  EXPECT_EQ(run("list missing.pak"), 1);
  std::vector<uint8_t> err = ReadBytes("err.txt");
  EXPECT_NE(std::string(err.begin(), err.end()).find("missing.pak"), std::string::npos);
  WriteBytes("in/f", Bytes("1"));
  EXPECT_EQ(run("create made.pak in --mtime file"), 0);
  EXPECT_EQ(run("list made.pak"), 0);
  std::vector<uint8_t> out = ReadBytes("out.txt");
  EXPECT_EQ(std::string(out.begin(), out.end()), "1  f\n");

  std::vector<uint8_t> damaged = ReadBytes("made.pak");
  damaged.push_back(0);
  WriteBytes("damaged.pak", damaged);
  EXPECT_EQ(run("list damaged.pak"), 1);
  err = ReadBytes("err.txt");
  EXPECT_NE(std::string(err.begin(), err.end()).find("damaged"), std::string::npos);
  EXPECT_EQ(run("extract damaged.pak back"), 1);
}

}  // namespace
}  // namespace Velk
