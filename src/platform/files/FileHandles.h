#pragma once
// Windows file handles over whole-file images. A handle reads the file into memory when it opens;
// reads, writes, seeks and truncation work on that image, and closing a handle that changed it
// writes it back through Velk::WriteFileAtomically, so the file on disk is always either the old
// or the new contents, never a torn mix of the two.
//
// Share modes hold as on Windows: an open that the share modes of the handles already open on the
// file forbid fails. Within this process a table of open files says so (ERROR_SHARING_VIOLATION);
// another process is kept out through a lock on a file beside it (name + ".lock"): exclusive for a
// handle that shares nothing, shared otherwise. An open refused by another process's lock fails with
// ERROR_LOCK_VIOLATION instead, so that a caller can tell a file it holds itself from one another
// program is using. The lock is on that separate file because the write-back replaces the file itself.
// Something else in that file's place (a folder, a pipe, a symbolic link) guards nothing: it is named
// once a run on standard error, and the file is used unguarded.

#include "platform/base/KernelObject.h"
#include "platform/base/LastError.h"
#include "platform/base/SecurityAttributes.h"
#include "platform/base/WinTypes.h"
#include "platform/files/FindFiles.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

struct OVERLAPPED;

// OPEN_EXISTING or OPEN_ALWAYS (which makes a missing file, empty, at the close, and reports
// ERROR_ALREADY_EXISTS when the file was there). INVALID_HANDLE_VALUE on failure: ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DIRECTORY (a folder, pipe or other non-file in the
// file's place), ERROR_WRITE_PROTECT, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION,
// ERROR_NOT_ENOUGH_MEMORY, or ERROR_FILE_TOO_LARGE for a file too large to hold (more than
// kMaxFileImage bytes).
HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
// Reads up to `count` bytes at the file pointer; at the end of the file TRUE with fewer (or 0).
BOOL ReadFile(HANDLE file, void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped);
// Writes at the file pointer; past the end the gap reads as zeros.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* done, OVERLAPPED* overlapped);
// Moves the file pointer; with `high` the distance is 64-bit (high:low) and the new position's high
// half comes back there. A negative position fails with ERROR_NEGATIVE_SEEK.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method);
// Cuts or extends the file at the file pointer.
BOOL SetEndOfFile(HANDLE file);
DWORD GetFileSize(HANDLE file, DWORD* high);

namespace Velk {

// The largest file a handle holds in memory.
constexpr uint64_t kMaxFileImage = 256ull << 20;

}  // namespace Velk
