#include "platform/base/PlatformText.h"

#include <gtest/gtest.h>

namespace {

using namespace Velk::PlatformText;

TEST(PlatformText, Utf8ToUtf16CountsCodeUnits) {
  EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::wstring{L'A', 0xE9, 0x20AC, 0xD83D, 0xDE00}));
  // Truncated, overlong, stray continuation and encoded surrogates are each one U+FFFD per bad byte run start.
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), (std::wstring{0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAFx"), (std::wstring{0xFFFD, 0xFFFD, L'x'}));
  EXPECT_EQ(Utf8ToUtf16("\x80"), (std::wstring{0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), (std::wstring{0xFFFD, 0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), (std::wstring{L'a', 0, L'b'}));
}

TEST(PlatformText, Utf16ToUtf8JoinsPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(std::wstring{L'A', 0xE9, 0x20AC, 0xD83D, 0xDE00}), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::wstring{0xD83D, L'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::wstring{0xDE00}), "\xEF\xBF\xBD");
}

TEST(PlatformText, Latin1BothWays) {
  EXPECT_EQ(Latin1ToUtf16("\xFF\x41"), (std::wstring{0xFF, 0x41}));
  EXPECT_EQ(Utf16ToLatin1(std::wstring{0xFF, 0x100, 0xD83D, 0xDE00, L'z'}), "\xFF??z");
  EXPECT_EQ(LowerAscii(L"MainWindow\u00C9"), L"mainwindow\u00C9");
}

}  // namespace
