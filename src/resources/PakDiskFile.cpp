#include "resources/PakDiskFile.h"

#include <cstdio>

#include "platform/files/PathMap.h"
#include "resources/PakLine.h"

PakFile* PakDiskOpen(const char* name, const char* mode) {
  FILE* stream = Velk::OpenFile(name, mode);
  if (!stream) return nullptr;
  return new PakFile{nullptr, 0, stream};
}

int PakDiskClose(PakFile* file) {
  int result = std::fclose(file->stream);
  delete file;
  return result;
}

int PakDiskSeek(PakFile* file, LONG offset, int origin) { return std::fseek(file->stream, offset, origin); }

LONG PakDiskTell(PakFile* file) { return static_cast<LONG>(std::ftell(file->stream)); }

size_t PakDiskRead(void* buffer, size_t elementSize, size_t count, PakFile* file) {
  return std::fread(buffer, elementSize, count, file->stream);
}

int PakDiskGetc(PakFile* file) { return std::fgetc(file->stream); }

wchar_t PakDiskGetwc(PakFile* file) {
  int lo = std::fgetc(file->stream);
  if (lo == EOF) return kPakWideEof;
  int hi = std::fgetc(file->stream);
  if (hi == EOF) return kPakWideEof;  // a lone trailing byte is consumed, not padded
  return static_cast<wchar_t>(lo | (hi << 8));
}

int PakDiskUngetc(int c, PakFile* file) { return std::ungetc(c, file->stream); }

wchar_t* PakDiskGetws(wchar_t* buffer, int capacity, PakFile* file) {
  return PakReadLine(buffer, capacity, [file] {
    wchar_t unit = PakDiskGetwc(file);
    return unit == kPakWideEof ? -1 : static_cast<int>(unit);
  });
}

char* PakDiskGets(char* buffer, int capacity, PakFile* file) { return std::fgets(buffer, capacity, file->stream); }

int PakDiskEof(PakFile* file) { return std::feof(file->stream); }
