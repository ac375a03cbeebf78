#include "platform/base/LastError.h"

#include <cerrno>

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD error) { tLastError = error; }

namespace Velk {

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
      return ERROR_ACCESS_DENIED;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    case EISDIR:
      return ERROR_DIRECTORY;
    case EFBIG:
      return ERROR_FILE_TOO_LARGE;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    default:
      return ERROR_WRITE_FAULT;
  }
}

std::string ErrorText(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return "no error";
    case ERROR_FILE_NOT_FOUND:
      return "file not found";
    case ERROR_PATH_NOT_FOUND:
      return "folder not found";
    case ERROR_ACCESS_DENIED:
      return "access denied";
    case ERROR_INVALID_HANDLE:
      return "not an open file";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "not enough memory";
    case ERROR_NO_MORE_FILES:
      return "no more files";
    case ERROR_WRITE_PROTECT:
      return "read-only file system";
    case ERROR_WRITE_FAULT:
      return "the device could not be read or written";
    case ERROR_SHARING_VIOLATION:
      return "in use elsewhere";
    case ERROR_LOCK_VIOLATION:
      return "in use by another program";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "already there";
    case ERROR_INVALID_PARAMETER:
      return "invalid parameter";
    case ERROR_DISK_FULL:
      return "no space left on the disk";
    case ERROR_INSUFFICIENT_BUFFER:
      return "buffer too small";
    case ERROR_INVALID_NAME:
      return "invalid name";
    case ERROR_MOD_NOT_FOUND:
      return "library not found";
    case ERROR_PROC_NOT_FOUND:
      return "function not found";
    case ERROR_NEGATIVE_SEEK:
      return "position before the start of the file";
    case ERROR_DIR_NOT_EMPTY:
      return "folder not empty";
    case ERROR_MORE_DATA:
      return "more data than room";
    case ERROR_FILE_TOO_LARGE:
      return "file too large";
    case ERROR_DIRECTORY:
      return "a folder or other non-file is in its place";
    default:
      return "error " + std::to_string(error);
  }
}

}  // namespace Velk
