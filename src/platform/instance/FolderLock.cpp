#include "platform/instance/FolderLock.h"

#include "platform/files/RegularFile.h"
#include "platform/files/XdgFolders.h"
#include "platform/instance/HeldLocks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace Velk {

namespace {

std::mutex gFoldersLock;
// The outcome of every folder taken or given up on. The descriptors of the held locks stay open
// until the process ends (or crashes): closing any descriptor of the file would drop the lock.
std::map<std::string, FolderLock::Outcome> gFolders;

// The lock file for writing; else, where this user may only read it (a home shared through a group,
// whose files are made 0644 less the umask), for reading. errno tells why it could not be made.
int OpenLockFile(const std::string& path, bool& forWriting) {
  forWriting = true;
  const int fd = OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW);
  if (fd >= 0 || (errno != EACCES && errno != EPERM && errno != EROFS)) return fd;
  const int refused = errno;
  forWriting = false;
  const int readOnly = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW);
  if (readOnly < 0) errno = refused;
  return readOnly;
}

// The whole file. Over a network file system only a write lock keeps other machines out; a read lock
// still finds a holder, whose write lock refuses it. Readers do not refuse each other, so a reader
// then asks whether anyone else holds the file, as a writer would be refused by it. kNoLock with
// errno set when the system takes no lock.
FolderLock::Outcome LockWhole(int fd, bool forWriting) {
  struct flock whole {};
  whole.l_type = forWriting ? F_WRLCK : F_RDLCK;
  whole.l_whence = SEEK_SET;
  if (fcntl(fd, F_SETLK, &whole) != 0)
    return errno == EAGAIN || errno == EACCES ? FolderLock::Outcome::kHeldElsewhere : FolderLock::Outcome::kNoLock;
  if (forWriting) return FolderLock::Outcome::kHeld;
  whole.l_type = F_WRLCK;
  if (fcntl(fd, F_GETLK, &whole) != 0) return FolderLock::Outcome::kNoLock;
  return whole.l_type == F_UNLCK ? FolderLock::Outcome::kHeld : FolderLock::Outcome::kHeldElsewhere;
}

FolderLock::Outcome TakeLock(const std::string& folder) {
  if (!MakeFolders(folder)) return FolderLock::Outcome::kNoFolder;
  const std::string path = FolderLock::PathIn(folder);
  bool forWriting = true;
  const int fd = OpenLockFile(path, forWriting);
  const FolderLock::Outcome outcome = fd >= 0 ? LockWhole(fd, forWriting) : FolderLock::Outcome::kNoLock;
  const int error = errno;
  if (outcome == FolderLock::Outcome::kHeld) {
    HeldLocks::Keep(fd);
    return outcome;
  }
  if (fd >= 0) close(fd);
  if (outcome == FolderLock::Outcome::kNoLock)
    ReportLockNotMade("lock", path, error, "another copy of the program is not kept from using " + folder);
  return outcome;
}

}  // namespace

FolderLock::Outcome FolderLock::Take(const std::string& folder) {
  std::lock_guard<std::mutex> hold(gFoldersLock);
  if (auto known = gFolders.find(folder); known != gFolders.end()) return known->second;
  const Outcome outcome = TakeLock(folder);
  if (outcome != Outcome::kHeldElsewhere) gFolders.emplace(folder, outcome);
  return outcome;
}

std::string FolderLock::PathIn(const std::string& folder) { return folder + "/running.lock"; }

void ReportLockNotMade(const char* lock, const std::string& path, int error, const std::string& consequence) {
  const char* reason = error == EISDIR  ? "something that is not a plain file is in its place"
                       : error == ELOOP ? "a symbolic link is in its place"
                                        : std::strerror(error);
  std::fprintf(stderr, "the %s %s cannot be made (%s); %s at the same time\n", lock, path.c_str(), reason,
               consequence.c_str());
}

}  // namespace Velk
