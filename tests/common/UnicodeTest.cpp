#include "common/Unicode.h"

#include <gtest/gtest.h>

namespace {

TEST(Unicode, Utf8RoundTripIncludingSurrogatePairs) {
  // U+0041, U+00E9, U+20AC, U+1F600 (as the pair D83D DE00).
  const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  const std::wstring wide = {L'A', 0xE9, 0x20AC, 0xD83D, 0xDE00};
  EXPECT_EQ(Velk::Utf8ToWide(utf8), wide);
  EXPECT_EQ(Velk::WideToUtf8(wide), utf8);
}

TEST(Unicode, MalformedInputBecomesReplacementCharacters) {
  const std::wstring bad = {0xFFFD, L'x'};
  EXPECT_EQ(Velk::Utf8ToWide("\x80x"), bad);                       // stray continuation byte
  EXPECT_EQ(Velk::Utf8ToWide("\xC0\xAFx").substr(1), L"\uFFFDx");  // overlong '/'
  EXPECT_EQ(Velk::Utf8ToWide("\xE2\x82x"), bad);                   // truncated, next byte kept
  EXPECT_EQ(Velk::Utf8ToWide("\xED\xA0\x80x"), bad);               // encoded surrogate
  EXPECT_EQ(Velk::Utf8ToWide("\xE2\x82"), std::wstring(1, 0xFFFD));
  // A lone surrogate unit cannot go out as UTF-8.
  EXPECT_EQ(Velk::WideToUtf8(std::wstring{0xD800, L'a'}),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Velk::WideToUtf8(std::wstring{L'a', 0xDC00}), "a\xEF\xBF\xBD");
}

TEST(Unicode, Utf16LEBytes) {
  const uint8_t bytes[] = {0x41, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x7F};
  EXPECT_EQ(Velk::Utf16LEToWide(bytes, sizeof bytes), (std::wstring{L'A', 0x20AC, 0xD83D}));
  EXPECT_EQ(Velk::WideToUtf16LE(std::wstring{L'A', 0x20AC}), std::string("\x41\x00\xAC\x20", 4));
  EXPECT_EQ(Velk::Utf16LEToWide(bytes, 1), L"");
}

}  // namespace
