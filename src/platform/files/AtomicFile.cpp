#include "platform/files/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>

namespace Velk {

namespace {

constexpr size_t kProbePiece = 4096;

std::atomic<void (*)(size_t)> gProbe{nullptr};

bool WriteAll(int fd, const std::string& bytes) {
  void (*probe)(size_t) = gProbe.load();
  size_t done = 0;
  while (done < bytes.size()) {
    size_t piece = bytes.size() - done;
    if (probe && piece > kProbePiece) piece = kProbePiece;
    ssize_t n = write(fd, bytes.data() + done, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
    if (probe) probe(done);
  }
  return true;
}

// The temporary that replaces `path`, made with the replaced file's bits (and its owner's right to
// write it), so that it is never more open to others than the file was; the exact bits are set after.
// A filesystem that refuses mode changes (some FUSE, FAT-family and network mounts) goes without
// them: keeping the mode is a courtesy, the save is not. A new file gets 0644 less the umask.
int MakeTemporary(const std::string& temp, const std::string& path) {
  struct stat info {};
  const bool replacing = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  const mode_t mode = replacing ? info.st_mode & 0777 : 0644;
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode | S_IRUSR | S_IWUSR);
  if (fd >= 0 && replacing) fchmod(fd, mode);
  return fd;
}

// The pid in "<file>.<pid>.<n>.tmp", or 0 when `entry` is not a temporary of `file`.
pid_t TemporaryOwner(const std::string& entry, const std::string& file) {
  static const std::string kSuffix = ".tmp";
  if (entry.size() <= file.size() + kSuffix.size() + 1 || entry.compare(0, file.size(), file) != 0 ||
      entry[file.size()] != '.' || entry.compare(entry.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
    return 0;
  }
  const std::string middle = entry.substr(file.size() + 1, entry.size() - file.size() - 1 - kSuffix.size());
  const size_t dot = middle.find('.');
  if (dot == 0 || dot == std::string::npos || dot + 1 == middle.size()) return 0;
  if (middle.find_first_not_of("0123456789.") != std::string::npos || middle.find('.', dot + 1) != std::string::npos) {
    return 0;
  }
  const long pid = std::strtol(middle.substr(0, dot).c_str(), nullptr, 10);
  return pid > 0 && pid <= 0x7FFFFFFF ? static_cast<pid_t>(pid) : 0;
}

bool ProcessGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// Each path is cleaned once per process, before its first write.
void RemoveStaleTemporariesOnce(const std::string& path) {
  static std::mutex lock;
  static std::set<std::string> cleaned;
  {
    std::lock_guard guard(lock);
    if (!cleaned.insert(path).second) return;
  }
  int saved = errno;
  RemoveStaleTemporaries(path);
  errno = saved;
}

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    pid_t owner = TemporaryOwner(entry->d_name, file);
    if (owner != 0 && ProcessGone(owner)) unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

void SetAtomicWriteProbe(void (*probe)(size_t written)) { gProbe = probe; }

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  RemoveStaleTemporariesOnce(path);
  std::string temp = path + "." + std::to_string(getpid()) + "." + std::to_string(counter++) + ".tmp";
  int fd = MakeTemporary(temp, path);
  if (fd < 0) return false;
  bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  int saved = errno;
  if (close(fd) != 0 && written) {
    written = false;
    saved = errno;
  }
  if (written && rename(temp.c_str(), path.c_str()) == 0) return true;
  if (written) saved = errno;
  unlink(temp.c_str());
  errno = saved;
  return false;
}

}  // namespace Velk
