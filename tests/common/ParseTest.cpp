#include "common/Parse.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Parse, IntDecimalHexAndFailures) {
  int v = -1;
  EXPECT_TRUE(Velk::ParseInt("0x1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(Velk::ParseInt("0XfF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(Velk::ParseInt("-12", v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(Velk::ParseInt("007", v));
  EXPECT_EQ(v, 7);
  for (const char* bad : {"", "12x", "1x5", "-0x1", "x1", "-x1", " 1", "1 ", "1f", "+1", "1-"}) {
    v = 99;
    EXPECT_FALSE(Velk::ParseInt(bad, v)) << bad;
    EXPECT_EQ(v, 0) << bad;
  }
  EXPECT_TRUE(Velk::ParseInt("-2147483648", v));
  EXPECT_EQ(v, -2147483647 - 1);

  EXPECT_TRUE(Velk::ParseIntW(L"0xA0", v));
  EXPECT_EQ(v, 160);
  EXPECT_FALSE(Velk::ParseIntW(L"\uFF11", v));  // a full-width digit is not a digit
}

TEST(Parse, DoubleWithoutExponent) {
  double d = 5;
  EXPECT_TRUE(Velk::ParseDoubleW(L"3.25", d));
  EXPECT_DOUBLE_EQ(d, 3.25);
  EXPECT_TRUE(Velk::ParseDoubleW(L"-0.5", d));
  EXPECT_DOUBLE_EQ(d, -0.5);
  EXPECT_TRUE(Velk::ParseDoubleW(L"12.", d));
  EXPECT_DOUBLE_EQ(d, 12.0);
  EXPECT_TRUE(Velk::ParseDoubleW(L"-", d));
  EXPECT_EQ(d, 0.0);
  EXPECT_TRUE(std::signbit(d));
  EXPECT_TRUE(Velk::ParseDoubleW(L".", d));
  EXPECT_EQ(d, 0.0);
  for (const wchar_t* bad : {L"", L"1e5", L"1.2.3", L"--1", L"1-", L" 1"}) {
    d = 5;
    EXPECT_FALSE(Velk::ParseDoubleW(bad, d));
    EXPECT_EQ(d, 0.0);
  }
}

TEST(Parse, Hex) {
  uint32_t h = 7;
  EXPECT_TRUE(Velk::ParseHex("", h));
  EXPECT_EQ(h, 0u);
  EXPECT_TRUE(Velk::ParseHex("FFffA0", h));
  EXPECT_EQ(h, 0xFFFFA0u);
  EXPECT_TRUE(Velk::ParseHex("DEADBEEF", h));
  EXPECT_EQ(h, 0xDEADBEEFu);
  EXPECT_TRUE(Velk::ParseHex("123456789", h));  // only the low 32 bits are kept
  EXPECT_EQ(h, 0x23456789u);
  EXPECT_FALSE(Velk::ParseHex("12g4", h));
  EXPECT_EQ(h, 0x1200u);  // the digits before the bad one stay
}

}  // namespace
