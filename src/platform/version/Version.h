#pragma once
// The system version query. This stand-in answers as an NT-family system of version 6.1 (Vista or
// later), which is what the program's version checks should see here.

#include "platform/base/WinTypes.h"

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

// The extended structure continues the basic one.
struct OSVERSIONINFOEXA : OSVERSIONINFOA {
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};

static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOEXA) == 156);

constexpr BYTE VER_NT_WORKSTATION = 1;

// The caller sets dwOSVersionInfoSize to the size of the structure it passes (148 or 156); any other
// size fails with ERROR_INVALID_PARAMETER.
BOOL GetVersionExA(OSVERSIONINFOA* info);

namespace Velk {

// Tests: makes every version query fail (ERROR_NOT_SUPPORTED) until switched off again.
void SetVersionQueryFails(bool fails);

}  // namespace Velk
