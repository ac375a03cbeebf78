#include "platform/instance/FolderLock.h"

#include "platform/files/RegularFile.h"
#include "platform/files/XdgFolders.h"

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
// until the process ends: closing any descriptor of the file would drop the lock.
std::map<std::string, FolderLock::Outcome> gFolders;

// The whole file, for writing: over a network file system only a write lock keeps other machines out.
bool LockWhole(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  return fcntl(fd, F_SETLK, &whole) == 0;
}

FolderLock::Outcome TakeLock(const std::string& folder) {
  if (!MakeFolders(folder)) return FolderLock::Outcome::kNoFolder;
  const std::string path = FolderLock::PathIn(folder);
  const int fd = OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, 0600);
  int error = errno;
  if (fd >= 0 && LockWhole(fd)) return FolderLock::Outcome::kHeld;
  if (fd >= 0) {
    error = errno;
    close(fd);
    if (error == EAGAIN || error == EACCES) return FolderLock::Outcome::kHeldElsewhere;
  }
  ReportLockNotMade("lock", path, error, "another copy of the program is not kept from using " + folder);
  return FolderLock::Outcome::kNoLock;
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
  std::fprintf(stderr, "the %s %s cannot be made (%s); %s at the same time\n", lock, path.c_str(),
               error == EISDIR ? "something that is not a plain file is in its place" : std::strerror(error),
               consequence.c_str());
}

}  // namespace Velk
