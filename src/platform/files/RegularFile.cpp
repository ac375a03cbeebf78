#include "platform/files/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Velk {

namespace {

// open's flags for an fopen mode, or -1 for a mode fopen refuses.
int StreamFlags(const char* mode) {
  const bool update = std::strchr(mode, '+') != nullptr;
  const int writing = update ? O_RDWR : O_WRONLY;
  switch (mode[0]) {
    case 'r':
      return update ? O_RDWR : O_RDONLY;
    case 'w':
      return writing | O_CREAT | O_TRUNC;
    case 'a':
      return writing | O_CREAT | O_APPEND;
    default:
      return -1;
  }
}

}  // namespace

int OpenRegularFile(const std::string& path, int flags, unsigned createMode) {
  const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, static_cast<mode_t>(createMode));
  if (fd < 0 && errno == ENXIO) errno = EISDIR;  // a pipe opened for writing with no reader, a socket
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
    errno = EFBIG;
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

bool ReadRegularFile(const std::string& path, uint64_t limit, std::string& bytes) {
  bytes.clear();
  const int fd = OpenRegularFile(path, O_RDONLY);
  if (fd < 0) return false;
  const bool read = ReadBounded(fd, limit, bytes);
  const int saved = errno;
  close(fd);
  if (!read) bytes.clear();
  errno = saved;
  return read;
}

FILE* OpenRegularStream(const std::string& path, const char* mode) {
  const int flags = StreamFlags(mode);
  if (flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  const int fd = OpenRegularFile(path, flags, 0666);  // fopen's, less the umask
  if (fd < 0) return nullptr;
  FILE* stream = fdopen(fd, mode);
  if (stream == nullptr) {
    const int saved = errno;
    close(fd);
    errno = saved;
  }
  return stream;
}

}  // namespace Velk
