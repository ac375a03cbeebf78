#include "platform/files/KeptCopy.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace Velk {

namespace {

std::atomic<int> gRefusal{0};

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (const int error = gRefusal.load()) {
    errno = error;
    return -1;
  }
  return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

// link() never replaces either; the old name goes only once the new one stands.
bool LinkThenUnlink(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) != 0) return false;
  if (unlink(from.c_str()) == 0) return true;
  const int error = errno;
  unlink(to.c_str());
  errno = error;
  return false;
}

}  // namespace

std::string KeptCopyName(const std::string& path) {
  std::string name = path + ".bad";
  struct stat info {};
  for (int n = 1; lstat(name.c_str(), &info) == 0; ++n) name = path + ".bad." + std::to_string(n);
  return name;
}

bool MoveToKeptCopy(const std::string& path, const std::string& kept) {
  if (RenameNoReplace(path, kept) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  return LinkThenUnlink(path, kept);
}

void RefuseNoReplaceRename(int error) { gRefusal = error; }

}  // namespace Velk
