#include "platform/files/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Velk {

int OpenRegularFile(const std::string& path, int flags, unsigned createMode) {
  const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, static_cast<mode_t>(createMode));
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

bool ReadBounded(int fd, uint64_t limit, std::string& bytes) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  if (static_cast<uint64_t>(info.st_size) > limit) {
    errno = ENOMEM;
    return false;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;  // shrank while being read
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return true;
}

}  // namespace Velk
