#pragma once
// Keeps a folder of the user's files to one process at a time, wherever the other runs: in this
// session, in another one (whose runtime folder, and so whose single-instance lock, differs), or on
// another machine over a shared home. The lock is a POSIX record lock on the file "running.lock" in
// the folder, held until the process ends or crashes: the system drops it when its holder dies, and a
// process this one starts never holds it, since record locks are not inherited. The file is made as
// the program's other files are; a user who may only read it (another member of a group that shares
// the home) holds it for reading, which finds a holder and keeps others out all the same.

#include <string>

namespace Velk {

class FolderLock {
 public:
  enum class Outcome {
    kHeld,           // this process holds the folder for the rest of its run
    kHeldElsewhere,  // another process holds it
    kNoFolder,       // the folder cannot be made: nothing of the user's can be in it
    kNoLock,         // the lock cannot be made or taken; the folder is not kept from others
  };

  // Takes the lock of `folder`, making the folder when it is missing. A lock that cannot be made (a
  // folder, a pipe or a symbolic link at its name, a folder the user may not write) is named once on
  // standard error with the reason. Asked again, a folder answers as it did the first time it was
  // not held elsewhere.
  static Outcome Take(const std::string& folder);
  static std::string PathIn(const std::string& folder);
};

// Names a lock that cannot be made, and what is then not kept from happening.
void ReportLockNotMade(const char* lock, const std::string& path, int error, const std::string& consequence);

}  // namespace Velk
