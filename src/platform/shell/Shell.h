#pragma once
// Opening a document or web address with the desktop's handler. Only the "open" verb is known.
// The result is an error code at most 32, or a value above 32 on success. Headless, the address
// is recorded and not opened.

#include "platform/base/WinTypes.h"

using LPCSTR = const char*;

constexpr int SE_ERR_NOASSOC = 31;

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCmd);
