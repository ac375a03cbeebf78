#include "platform/files/FileCalls.h"

#include "platform/base/LastError.h"
#include "platform/files/PathMap.h"
#include "platform/files/XdgFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Invalid(const char* path) {
  if (path != nullptr && path[0] != '\0') return false;
  SetLastError(ERROR_PATH_NOT_FOUND);
  return true;
}

// The length copied without the terminator, or the size needed with it when the buffer is too small.
DWORD CopyOut(const std::string& text, DWORD size, char* buffer) {
  DWORD length = static_cast<DWORD>(text.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

BOOL Report(int result) {
  if (result == 0) return TRUE;
  SetLastError(Velk::ErrorFromErrno(errno));
  return FALSE;
}

}  // namespace

BOOL DeleteFileA(const char* path) {
  if (Invalid(path)) return FALSE;
  std::string mapped = Velk::MapPath(path);
  struct stat info {};
  // A folder is refused, as Windows does, rather than left to unlink's answer.
  if (lstat(mapped.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return Report(unlink(mapped.c_str()));
}

BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES*) {
  if (Invalid(path)) return FALSE;
  if (mkdir(Velk::MapPath(path).c_str(), 0777) == 0) return TRUE;
  SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Velk::ErrorFromErrno(errno));
  return FALSE;
}

BOOL SetCurrentDirectoryA(const char* path) {
  if (Invalid(path)) return FALSE;
  return Report(chdir(Velk::MapPath(path).c_str()));
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
  char* current = getcwd(nullptr, 0);
  if (current == nullptr) {
    SetLastError(Velk::ErrorFromErrno(errno));
    return 0;
  }
  DWORD result = CopyOut(current, size, buffer);
  std::free(current);
  return result;
}

UINT GetWindowsDirectoryA(char* buffer, UINT size) { return CopyOut(Velk::GetDataHome(), size, buffer); }

int _mkdir(const char* path) {
  if (path == nullptr) return errno = EINVAL, -1;
  return mkdir(Velk::MapPath(path).c_str(), 0777);
}

int _rmdir(const char* path) {
  if (path == nullptr) return errno = EINVAL, -1;
  return rmdir(Velk::MapPath(path).c_str());
}
