#include "platform/base/WinTypes.h"

#include <gtest/gtest.h>

// The program's binary formats and message packing depend on these widths.
TEST(WinTypes, KeepWindowsWidths) {
  static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(HRESULT) == 4);
  static_assert(sizeof(WPARAM) == 4 && sizeof(LPARAM) == 4 && sizeof(LRESULT) == 4);
  static_assert(sizeof(HWND) == sizeof(void*));
  SUCCEED();
}

TEST(WinTypes, PackedCoordinatesAreSigned) {
  LPARAM lp = MAKELPARAM(-5, 300);
  EXPECT_EQ(GET_X_LPARAM(lp), -5);
  EXPECT_EQ(GET_Y_LPARAM(lp), 300);
  EXPECT_EQ(LOWORD(0x12345678u), 0x5678);
  EXPECT_EQ(HIWORD(0x12345678u), 0x1234);
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
}
