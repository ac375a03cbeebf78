#include "platform/version/Version.h"

#include <atomic>
#include <cstring>

#include "platform/base/LastError.h"

namespace {

std::atomic<bool> gQueryFails{false};

constexpr DWORD kErrorNotSupported = 50;

}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (gQueryFails) {
    SetLastError(kErrorNotSupported);
    return FALSE;
  }
  if (info == nullptr ||
      (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD size = info->dwOSVersionInfoSize;
  // Only the fields of the structure the caller declared are written.
  std::memset(reinterpret_cast<char*>(info) + sizeof(DWORD), 0, size - sizeof(DWORD));
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 1;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  if (size == sizeof(OSVERSIONINFOEXA)) static_cast<OSVERSIONINFOEXA*>(info)->wProductType = VER_NT_WORKSTATION;
  return TRUE;
}

namespace Velk {

void SetVersionQueryFails(bool fails) { gQueryFails = fails; }

}  // namespace Velk
