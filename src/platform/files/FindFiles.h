#pragma once
// Folder listing with the Windows search calls: a pattern with '*' and '?' in its last component,
// matched without regard to case; '\' and '/' both separate folders.

#include "platform/base/WinTypes.h"

#include <string>

constexpr DWORD MAX_PATH = 260;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// 100-nanosecond intervals since 1601-01-01 (UTC).
struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes = 0;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  DWORD dwReserved0 = 0;
  DWORD dwReserved1 = 0;
  char cFileName[MAX_PATH] = {};
  char cAlternateFileName[14] = {};
};

// Entries come in byte order of their names, "." and ".." included as the folder lists them. A
// symbolic link is reported as a reparse point, never as a folder, so a tree walk does not follow it.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

namespace Velk {

// Windows file-name matching: '*' any run, '?' one character, case ignored; a pattern ending in ".*"
// also matches names without an extension ("*.*" matches everything).
bool MatchFileName(const std::string& pattern, const std::string& name);

}  // namespace Velk
