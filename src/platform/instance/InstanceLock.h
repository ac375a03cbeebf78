#pragma once
// The named mutex that keeps a second copy of the program from running, and the broadcast with
// which that copy tells the first one. A named mutex is a lock file held with flock (the system
// drops it when its holder dies) in $XDG_RUNTIME_DIR, or /tmp, with the user's id in its name. Its
// holder listens on a datagram socket beside it; a copy that finds the lock taken sends there.

#include "platform/base/KernelObject.h"
#include "platform/base/SecurityAttributes.h"
#include "platform/base/WinTypes.h"

#include <vector>

// Always returns a handle (null only when the lock file cannot be made, which is then named on
// standard error with the reason). GetLastError() is
// ERROR_ALREADY_EXISTS when another holder - another process, or another handle of this one -
// has the lock, else ERROR_SUCCESS. A null name gives a private mutex that nothing else can find.
HANDLE CreateMutexW(const SECURITY_ATTRIBUTES* security, BOOL initialOwner, const wchar_t* name);
// CloseHandle (platform/base/KernelObject.h) releases a held lock.

namespace Velk {

struct InstanceNotice {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class SingleInstance {
 public:
  // Sends the message to the holders of every lock that this process found taken (a broadcast
  // reaches the running copy this way). Nothing happens when none listens.
  static void NotifyRunningCopies(UINT message, WPARAM wParam, LPARAM lParam);
  // The messages that other copies sent to the locks this process holds, oldest first; never waits.
  static std::vector<InstanceNotice> Poll();
};

}  // namespace Velk
