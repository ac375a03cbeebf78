#pragma once
// The file and folder calls of the Windows API and the C runtime. Every name goes through
// Velk::MapPath, so '\' separates folders and case is ignored where the disk allows.

#include "platform/base/SecurityAttributes.h"
#include "platform/base/WinTypes.h"

// Windows calls: TRUE on success, else FALSE with GetLastError set.
BOOL DeleteFileA(const char* path);
BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* security);
BOOL SetCurrentDirectoryA(const char* path);
// The length copied without the terminator; when the buffer is too small, the size it needs
// including the terminator, and nothing is copied.
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
// There is no Windows folder here; what the program keeps there goes to the user's data folder
// (Velk::GetDataHome), which is answered instead. Sizes as for GetCurrentDirectoryA.
UINT GetWindowsDirectoryA(char* buffer, UINT size);

// C runtime calls: 0 on success, else -1 with errno set.
int _mkdir(const char* path);
int _rmdir(const char* path);
