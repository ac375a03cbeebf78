#include "platform/files/FileHandles.h"

#include "platform/base/LastError.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"
#include "platform/files/RegularFile.h"
#include "platform/instance/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

struct OpenMode {
  DWORD access = 0;
  DWORD share = 0;
};

// Every open handle's file (as an absolute path) with its access and share mode. Held while a
// handle opens and while one closes, so that an open never reads a file whose write-back is under way.
std::mutex gOpenLock;
std::multimap<std::string, OpenMode> gOpenFiles;

bool Permits(const OpenMode& holder, const OpenMode& wanted) {
  if ((wanted.access & GENERIC_READ) != 0 && (holder.share & FILE_SHARE_READ) == 0) return false;
  if ((wanted.access & GENERIC_WRITE) != 0 && (holder.share & FILE_SHARE_WRITE) == 0) return false;
  return true;
}

bool Conflicts(const std::string& key, const OpenMode& wanted) {
  auto [first, last] = gOpenFiles.equal_range(key);
  return std::any_of(first, last,
                     [&](const auto& open) { return !Permits(open.second, wanted) || !Permits(wanted, open.second); });
}

// The files whose lock something else stands in place of, named once a run. Held under gOpenLock.
std::set<std::string> gLocksInTheWay;

// A folder, a pipe or a link where the lock goes leaves the file unguarded: the user hears of it. A
// folder that takes no file or cannot be written is not named here; the file's own use tells it.
void NameLockInTheWay(const std::string& path, int error) {
  if ((error != EISDIR && error != ELOOP) || !gLocksInTheWay.insert(path).second) return;
  Velk::ReportLockNotMade("lock", path + ".lock", error, "another program is not kept from using " + path);
}

// The other-process guard; -1 when the lock file cannot be made or is not a plain file, or the
// file system takes no locks (another process is then not kept out, but this one still is). False
// when another process holds a conflicting lock.
bool LockBeside(const std::string& path, const OpenMode& mode, int& fd) {
  fd = Velk::OpenRegularFile(path + ".lock", O_RDWR | O_CREAT | O_NOFOLLOW);
  if (fd < 0) {
    NameLockInTheWay(path, errno);
    return true;
  }
  int kind = mode.share == 0 ? LOCK_EX : LOCK_SH;
  if (flock(fd, kind | LOCK_NB) == 0) return true;
  const bool held = errno == EWOULDBLOCK;
  close(fd);
  fd = -1;
  return !held;
}

class FileImage : public Velk::KernelObject {
 public:
  FileImage(std::string key, std::string path, OpenMode mode, int lockFd)
      : key_(std::move(key)), path_(std::move(path)), mode_(mode), lockFd_(lockFd) {}

  std::string bytes;
  uint64_t position = 0;
  bool changed = false;

  bool Allows(DWORD access) const { return (mode_.access & access) == access; }

 protected:
  BOOL Close() override {
    std::lock_guard<std::mutex> hold(gOpenLock);
    BOOL result = TRUE;
    if (changed && !Velk::WriteFileAtomically(path_, bytes)) {
      SetLastError(Velk::ErrorFromErrno(errno));
      result = FALSE;
    }
    if (lockFd_ >= 0) close(lockFd_);
    auto [first, last] = gOpenFiles.equal_range(key_);
    for (auto it = first; it != last; ++it) {
      if (it->second.access == mode_.access && it->second.share == mode_.share) {
        gOpenFiles.erase(it);
        break;
      }
    }
    return result;
  }

 private:
  std::string key_;
  std::string path_;
  OpenMode mode_;
  int lockFd_;
};

// The open file behind the handle when it was opened for `access`.
FileImage* FindFile(HANDLE file, DWORD access = 0) {
  FileImage* image = Velk::KernelObject::Find<FileImage>(file);
  if (image == nullptr || image->Allows(access)) return image;
  SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

DWORD OpenError(const std::string& path, int err) {
  if (err == ENOENT) {
    std::error_code ignored;
    bool folderThere = std::filesystem::is_directory(std::filesystem::path(path).parent_path(), ignored);
    return folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  }
  return Velk::ErrorFromErrno(err);
}

// A missing file that OPEN_ALWAYS makes is not made on disk here but by the close, whole: a process
// that ends while the handle is open leaves no empty file behind. Its folder must take it, though.
int CheckFolderTakesFile(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK);
}

// Opens the file itself and reads it whole. -1 on failure, with errno set. Only a plain file is
// taken (without waiting: a pipe in its place would block the open).
int OpenImage(const std::string& path, const OpenMode& mode, DWORD disposition, bool& existed, std::string& bytes) {
  int flags = (mode.access & GENERIC_WRITE) != 0 ? O_RDWR : O_RDONLY;
  existed = access(path.c_str(), F_OK) == 0;
  if (!existed && disposition == OPEN_ALWAYS) return CheckFolderTakesFile(path);
  int fd = Velk::OpenRegularFile(path, flags);
  if (fd < 0) return -1;
  bool read = Velk::ReadBounded(fd, Velk::kMaxFileImage, bytes);
  int saved = errno;
  close(fd);
  errno = saved;
  return read ? 0 : -1;
}

}  // namespace

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD,
                   HANDLE) {
  if (name == nullptr || name[0] == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  if (disposition != OPEN_EXISTING && disposition != OPEN_ALWAYS) return Fail(ERROR_INVALID_PARAMETER);
  std::string path = Velk::MapPath(name);
  std::error_code ignored;
  std::string key = std::filesystem::absolute(path, ignored).lexically_normal().string();
  OpenMode mode{access, shareMode};

  std::lock_guard<std::mutex> hold(gOpenLock);
  if (Conflicts(key, mode)) return Fail(ERROR_SHARING_VIOLATION);
  int lockFd = -1;
  if (!LockBeside(path, mode, lockFd)) return Fail(ERROR_LOCK_VIOLATION);
  std::string bytes;
  bool existed = false;
  if (OpenImage(path, mode, disposition, existed, bytes) != 0) {
    int err = errno;
    if (lockFd >= 0) close(lockFd);
    return Fail(OpenError(key, err));
  }
  gOpenFiles.emplace(key, mode);
  auto image = std::make_unique<FileImage>(key, path, mode, lockFd);
  image->bytes = std::move(bytes);
  image->changed = !existed;
  HANDLE handle = Velk::KernelObject::Add(std::move(image));
  SetLastError(disposition == OPEN_ALWAYS && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD count, DWORD* done, OVERLAPPED*) {
  if (done != nullptr) *done = 0;
  FileImage* image = FindFile(file, GENERIC_READ);
  if (image == nullptr) return FALSE;
  uint64_t size = image->bytes.size();
  uint64_t available = image->position < size ? size - image->position : 0;
  DWORD n = static_cast<DWORD>(std::min<uint64_t>(count, available));
  if (n > 0) std::memcpy(buffer, image->bytes.data() + image->position, n);
  image->position += n;
  if (done != nullptr) *done = n;
  return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* done, OVERLAPPED*) {
  if (done != nullptr) *done = 0;
  FileImage* image = FindFile(file, GENERIC_WRITE);
  if (image == nullptr) return FALSE;
  if (image->position > Velk::kMaxFileImage || count > Velk::kMaxFileImage - image->position) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  size_t end = static_cast<size_t>(image->position + count);
  if (image->bytes.size() < end) image->bytes.resize(end, '\0');
  if (count > 0) std::memcpy(image->bytes.data() + image->position, buffer, count);
  image->position = end;
  image->changed = true;
  if (done != nullptr) *done = count;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method) {
  FileImage* image = FindFile(file);
  if (image == nullptr) return INVALID_SET_FILE_POINTER;
  int64_t move = high != nullptr ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) |
                                                        static_cast<uint32_t>(distance))
                                 : distance;
  int64_t origin = 0;
  if (method == FILE_CURRENT) {
    origin = static_cast<int64_t>(image->position);
  } else if (method == FILE_END) {
    origin = static_cast<int64_t>(image->bytes.size());
  } else if (method != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  // Compared before adding, so that no distance can overflow the sum.
  if (move < 0 && -(move + 1) >= origin) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (move > INT64_MAX - origin) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  uint64_t position = static_cast<uint64_t>(origin + move);
  image->position = position;
  if (high != nullptr) *high = static_cast<LONG>(position >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(position);
}

BOOL SetEndOfFile(HANDLE file) {
  FileImage* image = FindFile(file, GENERIC_WRITE);
  if (image == nullptr) return FALSE;
  if (image->position > Velk::kMaxFileImage) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  image->bytes.resize(static_cast<size_t>(image->position), '\0');
  image->changed = true;
  return TRUE;
}

DWORD GetFileSize(HANDLE file, DWORD* high) {
  FileImage* image = FindFile(file);
  if (image == nullptr) return INVALID_FILE_SIZE;
  uint64_t size = image->bytes.size();
  if (high != nullptr) *high = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}
