// The module-level file functions: through the published archive layer when there is one,
// else straight to the disk.
#include "resources/PakDiskFile.h"
#include "resources/PakInterface.h"

PakFile* PakFileOpen(const char* name, const char* mode) {
  if (PakInterface* pak = GetPakInterface()) return pak->Open(name, mode);
  return PakDiskOpen(name, mode);
}

int PakFileClose(PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Close(file);
  return PakDiskClose(file);
}

int PakFileSeek(PakFile* file, LONG offset, int origin) {
  if (PakInterface* pak = GetPakInterface()) return pak->Seek(file, offset, origin);
  return PakDiskSeek(file, offset, origin);
}

LONG PakFileTell(PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Tell(file);
  return PakDiskTell(file);
}

size_t PakFileRead(void* buffer, size_t elementSize, size_t count, PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Read(buffer, elementSize, count, file);
  return PakDiskRead(buffer, elementSize, count, file);
}

int PakFileGetc(PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Getc(file);
  return PakDiskGetc(file);
}

wchar_t PakFileGetwc(PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Getwc(file);
  return PakDiskGetwc(file);
}

int PakFileUngetc(int c, PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Ungetc(c, file);
  return PakDiskUngetc(c, file);
}

int PakFileEof(PakFile* file) {
  if (PakInterface* pak = GetPakInterface()) return pak->Eof(file);
  return PakDiskEof(file);
}
