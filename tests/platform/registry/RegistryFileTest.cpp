#include "platform/registry/RegistryFile.h"

#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

TEST(RegistryFile, AnyBytesRoundTripAsPlainAscii) {
  std::string every;
  for (int i = 0; i < 256; ++i) every += static_cast<char>(i);
  Velk::RegistryFile file;
  file.Set("odd \"name\" \\ =\n", REG_SZ, every);
  file.Set("n", REG_DWORD, std::string("\x78\x56\x34\x12", 4));
  std::string text = file.Serialize();
  for (char c : text) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F));
  EXPECT_NE(text.find("\"n\"=dword:12345678\n"), std::string::npos);

  Velk::RegistryFile back;
  ASSERT_TRUE(back.Parse(text));
  ASSERT_EQ(back.Count(), 2u);
  EXPECT_EQ(back.Find("ODD \"NAME\" \\ =\n")->data, every);
  EXPECT_EQ(back.Find("n")->type, REG_DWORD);
  EXPECT_EQ(back.Find("n")->data, std::string("\x78\x56\x34\x12", 4));
}

TEST(RegistryFile, BlankLinesWindowsLineEndsAndRepeats) {
  Velk::RegistryFile file;
  ASSERT_TRUE(file.Parse("\r\n\"a\"=\"x\"\r\n\n\"A\"=\"later wins\"\n\"b\"=dword:FFFFFFFF"));
  EXPECT_EQ(file.Count(), 2u);
  EXPECT_EQ(file.Find("a")->data, "later wins");
}

TEST(RegistryFile, AFlawedLineIsSkippedAndTheOthersKept) {
  const char* bad[] = {
      "\"a\"=dword:0000001",    // seven digits
      "\"a\"=dword:000000012",  // nine digits
      "\"a\"=dword:0000000g",   // not hex
      "\"a\"=\"x\" trailing",   // junk after the text
      "\"a\"=\"x\\q\"",         // unknown escape
      "\"a\"=\"x\\x4\"",        // short hex escape
      "\"a\"=\"unterminated",
      "a=dword:00000001",  // unquoted name
      "\"a\"",             // no value
      "\"a\"=binary:00",
      "\"a\"=\"x\\",  // escape at the very end
  };
  for (const char* text : bad) {
    Velk::RegistryFile file;
    EXPECT_FALSE(file.Parse(std::string("\"ok\"=dword:00000001\n\n") + text + "\n\"b\"=\"x\"")) << text;
    EXPECT_EQ(file.Count(), 2u) << text;
    EXPECT_EQ(file.SkippedLines(), std::vector<size_t>{3}) << text;
  }
  Velk::RegistryFile clean;
  EXPECT_TRUE(clean.Parse("\"ok\"=dword:00000001\n"));
  EXPECT_TRUE(clean.SkippedLines().empty());
}

// The fuzzer's seeds and kept inputs: whatever a file keeps writes out and reads back the same.
TEST(RegistryFile, ReplayKeptFuzzInputs) {
  for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/platform/registryfuzz")) {
    std::ifstream in(entry.path(), std::ios::binary);
    Velk::RegistryFile file;
    file.Parse(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_GT(file.Count(), 0u) << entry.path();
    Velk::RegistryFile back;
    EXPECT_TRUE(back.Parse(file.Serialize())) << entry.path();
    EXPECT_EQ(back.Serialize(), file.Serialize()) << entry.path();
  }
}

}  // namespace
