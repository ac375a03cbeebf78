#include "resources/PakPacker.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "resources/PakTestSupport.h"
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
  std::vector<uint8_t> expected = PlainPak()
                                      .Header()
                                      .Record("a", 0)
                                      .Record("b\\Two", 3, 0x05060708, 0x01020304)
                                      .End()
                                      .Text("xyz")
                                      .Stored();
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
  ScratchFolder folder;
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
}

}  // namespace
}  // namespace Velk
