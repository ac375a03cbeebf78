#pragma once
// The loose-file side of the archive layer: each function is the C runtime twin of a PakFile
// operation, for a handle that wraps a disk stream. The 16-bit readers take raw little-endian
// pairs, never the locale's wide decoding.

#include <cstddef>

#include "platform/base/WinTypes.h"
#include "resources/PakInterface.h"

// Null when the file cannot be opened with that mode.
PakFile* PakDiskOpen(const char* name, const char* mode);
int PakDiskClose(PakFile* file);
int PakDiskSeek(PakFile* file, LONG offset, int origin);
LONG PakDiskTell(PakFile* file);
size_t PakDiskRead(void* buffer, size_t elementSize, size_t count, PakFile* file);
int PakDiskGetc(PakFile* file);
wchar_t PakDiskGetwc(PakFile* file);
int PakDiskUngetc(int c, PakFile* file);
wchar_t* PakDiskGetws(wchar_t* buffer, int capacity, PakFile* file);
char* PakDiskGets(char* buffer, int capacity, PakFile* file);
int PakDiskEof(PakFile* file);
