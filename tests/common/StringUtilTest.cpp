#include "common/StringUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(StringUtil, NarrowAndWidenMapLatin1ByteForByte) {
  std::string bytes = {'A', '\0', static_cast<char>(0xE9), static_cast<char>(0xFF)};
  std::wstring wide = Velk::Widen(bytes);
  ASSERT_EQ(wide.size(), 4u);
  EXPECT_EQ(wide[2], L'\u00E9');
  EXPECT_EQ(wide[3], L'\u00FF');
  EXPECT_EQ(Velk::Narrow(wide), bytes);
  // A unit outside Latin-1 cannot be narrowed at all.
  EXPECT_EQ(Velk::Narrow(L"ab\u20ACc"), "");

  std::string out = "stale";
  Velk::NarrowRet(L"xy", out);
  EXPECT_EQ(out, "xy");
  std::wstring wout = L"stale";
  Velk::WidenRet("q", wout);
  EXPECT_EQ(wout, L"q");
}

TEST(StringUtil, CaseAndTrimAreLocaleFree) {
  EXPECT_EQ(Velk::ToUpper("abc-xyz\xe9"), "ABC-XYZ\xe9");
  EXPECT_EQ(Velk::ToUpperW(L"path\\file.png"), L"PATH\\FILE.PNG");
  EXPECT_EQ(Velk::TrimSpace(" \t\r\n a b \v\f"), "a b");
  EXPECT_EQ(Velk::TrimSpace("   "), "");
  EXPECT_EQ(Velk::TrimSpace("\xa0x\xa0"), "\xa0x\xa0");  // not a C-locale space
}

TEST(StringUtil, FormatReturnsWholeResultBeyondFirstBuffer) {
  EXPECT_EQ(Velk::FormatString("%s: %d", "code", -7), "code: -7");
  std::string longText(500, 'q');
  EXPECT_EQ(Velk::FormatString("<%s>", longText.c_str()), "<" + longText + ">");

  EXPECT_EQ(Velk::FormatWString(L"%ls=%d", L"x\u00e9\u4e2d", 3), L"x\u00e9\u4e2d=3");
  std::wstring longWide(5000, L'w');
  std::wstring formatted = Velk::FormatWString(L"[%ls]", longWide.c_str());
  EXPECT_EQ(formatted, L"[" + longWide + L"]");
}

TEST(StringUtil, CommaSeparateGroupsFromTheRight) {
  EXPECT_EQ(Velk::CommaSeparate(0), L"0");
  EXPECT_EQ(Velk::CommaSeparate(999), L"999");
  EXPECT_EQ(Velk::CommaSeparate(1000), L"1,000");
  EXPECT_EQ(Velk::CommaSeparate(1234567), L"1,234,567");
  EXPECT_EQ(Velk::CommaSeparate(-2147483647 - 1), L"-2,147,483,648");
}

TEST(StringUtil, FindNoCase) {
  EXPECT_EQ(Velk::FindNoCase("Hello World", "WORLD"), 6);
  EXPECT_EQ(Velk::FindNoCase("Hello", ""), 0);
  EXPECT_EQ(Velk::FindNoCase("", ""), -1);
  EXPECT_EQ(Velk::FindNoCase("abc", "abcd"), -1);
  EXPECT_EQ(Velk::FindNoCase("aaab", "AAB"), 1);
}

}  // namespace
