#include "platform/version/Version.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/LastError.h"

namespace {

TEST(GetVersionExA, AnswersAsNtOfVistaOrLaterForBothStructureSizes) {
  OSVERSIONINFOEXA ex;
  std::memset(&ex, 0xCC, sizeof ex);
  ex.dwOSVersionInfoSize = 156;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_GE(ex.dwMajorVersion, 6u);
  EXPECT_EQ(ex.szCSDVersion[0], '\0');
  EXPECT_EQ(ex.wServicePackMajor, 0);

  // The basic structure is filled without writing past its 148 bytes.
  OSVERSIONINFOEXA basic;
  std::memset(&basic, 0xCC, sizeof basic);
  basic.dwOSVersionInfoSize = 148;
  ASSERT_TRUE(GetVersionExA(&basic));
  EXPECT_EQ(basic.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(basic.wServicePackMajor, 0xCCCC);
}

TEST(GetVersionExA, RejectsOtherSizesAndInjectedFailures) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&info));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  info.dwOSVersionInfoSize = sizeof info;
  Velk::SetVersionQueryFails(true);
  EXPECT_FALSE(GetVersionExA(&info));
  Velk::SetVersionQueryFails(false);
  EXPECT_TRUE(GetVersionExA(&info));
}

}  // namespace
