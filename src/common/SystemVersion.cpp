#include "common/SystemVersion.h"

#include "platform/version/Version.h"

namespace Velk {

namespace {

SystemVersion& ProcessVersion() {
  static SystemVersion version;
  return version;
}

}  // namespace

// The extended structure first, then the basic one for systems that do not know it.
bool SystemVersion::Query() {
  if (mKnown) return true;
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  BOOL ok = GetVersionExA(&info);
  if (!ok) {
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    ok = GetVersionExA(&info);
  }
  if (!ok) return false;
  mPlatformId = info.dwPlatformId;
  mMajorVersion = info.dwMajorVersion;
  mKnown = true;
  return true;
}

bool SystemVersion::IsWindows9x() {
  std::lock_guard lock(mLock);
  return Query() && mPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool SystemVersion::IsWindowsVistaOrLater() {
  std::lock_guard lock(mLock);
  return Query() && mMajorVersion >= 6;
}

bool IsWindows9x() { return ProcessVersion().IsWindows9x(); }

bool IsWindowsVistaOrLater() { return ProcessVersion().IsWindowsVistaOrLater(); }

}  // namespace Velk
