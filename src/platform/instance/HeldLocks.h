#pragma once
// The descriptors whose locks keep the user's files to this process for its run. A process that
// crashed writes nothing of the user's any more, yet its report may stay up for long: the
// fatal-signal handler lets the locks go at once, so that a new start runs meanwhile. The table is
// atomics only, so that the handler reads it without a lock.

namespace Velk {

class HeldLocks {
 public:
  // Keeps `fd` among the held locks (beyond the table's room, a lock stays held until the process ends).
  static void Keep(int fd);
  // Closes `fd` and forgets it, unless a fault closed it already.
  static void Close(int fd);
  // Closes every held lock's descriptor; safe in a signal handler.
  static void ReleaseAll();
};

}  // namespace Velk
