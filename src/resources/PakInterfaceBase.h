#pragma once
// The operations of the archive layer. Every file read of the program goes through one object of
// this interface (see PakInterface.h for the module-level functions that find it).

#include <cstddef>

#include "platform/base/WinTypes.h"
#include "platform/files/FindFiles.h"

struct PakFile;
struct PakFindData;

class PakInterfaceBase {
 public:
  virtual ~PakInterfaceBase() = default;

  virtual PakFile* Open(const char* name, const char* mode) = 0;
  virtual int Close(PakFile* file) = 0;
  virtual int Seek(PakFile* file, LONG offset, int origin) = 0;
  virtual LONG Tell(PakFile* file) = 0;
  virtual size_t Read(void* buffer, size_t elementSize, size_t count, PakFile* file) = 0;
  virtual int Getc(PakFile* file) = 0;
  virtual wchar_t Getwc(PakFile* file) = 0;
  virtual int Ungetc(int c, PakFile* file) = 0;
  virtual wchar_t* Getws(wchar_t* buffer, int capacity, PakFile* file) = 0;
  virtual char* Gets(char* buffer, int capacity, PakFile* file) = 0;
  virtual int Eof(PakFile* file) = 0;
  virtual PakFindData* FindFirst(const char* pattern, WIN32_FIND_DATAA* result) = 0;
  virtual bool FindNext(PakFindData* search, WIN32_FIND_DATAA* result) = 0;
  virtual bool FindClose(PakFindData* search) = 0;
};
