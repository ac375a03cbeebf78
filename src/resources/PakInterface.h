#pragma once
// The archive file layer: .pak archives mapped read-only, one folded directory over all of them
// (the archive mounted last wins), and stdio-like reads that fall back to loose files on disk. A closed
// member's pages leave the process's memory (the system's file cache keeps them).
//
// One instance per process publishes itself; the module-level PakFile* functions below go through
// it, or straight to the C runtime while none is published.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/WinTypes.h"
#include "resources/PakInterfaceBase.h"

// The value the 16-bit readers return at the end of a file.
inline constexpr wchar_t kPakWideEof = 0xFFFF;

struct PakArchive {
  int fd = -1;
  const uint8_t* view = nullptr;
  size_t size = 0;
  size_t uncoveredBytes = 0;  // after the last member's data
};

struct PakEntry {
  PakArchive* archive = nullptr;
  std::string name;       // as stored, for search results
  uint64_t fileTime = 0;  // Windows FILETIME: 100 ns since 1601-01-01 UTC
  int32_t start = 0;      // from the start of the archive file
  int32_t size = 0;
};

// The handle every file function takes. A disk file has no entry and a stream.
struct PakFile {
  PakEntry* entry = nullptr;
  int32_t position = 0;
  FILE* stream = nullptr;
};

class PakInterface : public PakInterfaceBase {
 public:
  PakInterface();
  ~PakInterface() override;
  PakInterface(const PakInterface&) = delete;
  PakInterface& operator=(const PakInterface&) = delete;

  // False for a file that cannot be opened or mapped, or whose header or directory is damaged;
  // a damaged archive contributes no members.
  bool MountArchive(const std::string& fileName);

  PakFile* Open(const char* name, const char* mode) override;
  int Close(PakFile* file) override;
  int Seek(PakFile* file, LONG offset, int origin) override;
  LONG Tell(PakFile* file) override;
  size_t Read(void* buffer, size_t elementSize, size_t count, PakFile* file) override;
  int Getc(PakFile* file) override;
  wchar_t Getwc(PakFile* file) override;
  int Ungetc(int c, PakFile* file) override;
  wchar_t* Getws(wchar_t* buffer, int capacity, PakFile* file) override;
  char* Gets(char* buffer, int capacity, PakFile* file) override;
  int Eof(PakFile* file) override;
  // Null when neither the archives nor the disk hold a match.
  PakFindData* FindFirst(const char* pattern, WIN32_FIND_DATAA* result) override;
  bool FindNext(PakFindData* search, WIN32_FIND_DATAA* result) override;
  bool FindClose(PakFindData* search) override;

  // The directory key of a stored member name: its ASCII upper case.
  static std::string MemberKey(const std::string& storedName);
  // Upper case, one '\' between components, ".." resolved, the current folder's prefix dropped.
  static std::string FoldName(const std::string& name);

  // The folded directory, for listing tools.
  const std::map<std::string, PakEntry>& GetDirectory() const { return mDirectory; }
  const std::vector<std::unique_ptr<PakArchive>>& GetArchives() const { return mArchives; }

 private:
  bool NextArchiveMatch(PakFindData& search, WIN32_FIND_DATAA* result) const;

  std::vector<std::unique_ptr<PakArchive>> mArchives;
  std::map<std::string, PakEntry> mDirectory;
};

// The published instance, or null: then every function below is its C runtime twin.
PakInterface* GetPakInterface();

PakFile* PakFileOpen(const char* name, const char* mode);
int PakFileClose(PakFile* file);
int PakFileSeek(PakFile* file, LONG offset, int origin);
LONG PakFileTell(PakFile* file);
size_t PakFileRead(void* buffer, size_t elementSize, size_t count, PakFile* file);
int PakFileGetc(PakFile* file);
wchar_t PakFileGetwc(PakFile* file);
int PakFileUngetc(int c, PakFile* file);
int PakFileEof(PakFile* file);
