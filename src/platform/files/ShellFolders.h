#pragma once
// The shell's folder query. Both application-data folders are the user's data folder here: the
// per-machine one is not writable by users.

#include "platform/base/WinTypes.h"

constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr DWORD SHGFP_TYPE_CURRENT = 0;
constexpr DWORD SHGFP_TYPE_DEFAULT = 1;

// Fills `path` (MAX_PATH bytes) with the folder, without a trailing separator. With CSIDL_FLAG_CREATE
// a missing folder is made. S_OK when the folder exists, S_FALSE when it does not (the path is
// still filled), E_INVALIDARG for another folder id, E_FAIL when the path does not fit or cannot be made.
HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, char* path);
