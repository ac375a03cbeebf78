#pragma once
// Which generation of the system the program runs on, for the few places that behave differently.

#include <mutex>

#include "platform/base/WinTypes.h"

namespace Velk {

// The answers come from one version query, kept after the first one that succeeds; while the query
// fails both answer false and it is asked again next time.
class SystemVersion {
 public:
  bool IsWindows9x();
  bool IsWindowsVistaOrLater();

 private:
  bool Query();

  std::mutex mLock;
  bool mKnown = false;
  DWORD mPlatformId = 0;
  DWORD mMajorVersion = 0;
};

// The process-wide answers.
bool IsWindows9x();
bool IsWindowsVistaOrLater();

}  // namespace Velk
