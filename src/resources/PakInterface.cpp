#include "resources/PakInterface.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>

#include "common/StringUtil.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/FindFiles.h"
#include "platform/files/PathMap.h"
#include "platform/files/RegularFile.h"
#include "resources/PakDiskFile.h"
#include "resources/PakFormat.h"
#include "resources/PakLine.h"

namespace {

// Stands in for the per-process shared block through which every module finds the instance.
std::atomic<PakInterface*> gPublishedPak{nullptr};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EqualNoCaseOrSeparator(char a, char b) {
  return Velk::FoldAscii(a) == Velk::FoldAscii(b) || (IsSeparator(a) && IsSeparator(b));
}

// A name under the current folder (drive-prefixed, or absolute) becomes relative to it.
size_t CurrentFolderPrefixLength(const std::string& name) {
  bool drive = name.size() >= 2 && name[1] == ':';
  bool absolute = !name.empty() && name[0] == '/';
  if (!drive && !absolute) return 0;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return 0;
  std::string prefix = std::string(cwd) + (drive ? '\\' : '/');
  if (name.size() < prefix.size()) return 0;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (!EqualNoCaseOrSeparator(name[i], prefix[i])) return 0;
  return prefix.size();
}

bool IsParentComponent(const std::string& name, size_t i) {
  return name.compare(i, 2, "..") == 0 && (i + 2 == name.size() || IsSeparator(name[i + 2]));
}

bool IsArchiveMode(const char* mode) {
  return strcasecmp(mode, "r") == 0 || strcasecmp(mode, "rb") == 0 || strcasecmp(mode, "rt") == 0;
}

uint8_t MemberByte(const PakFile* file, int32_t position) {
  return PakUnscrambleByte(file->entry->archive->view[file->entry->start + position]);
}

// The next byte of a member, carriage returns skipped; -1 at the end.
int NextTextByte(PakFile* file) {
  while (file->position < file->entry->size) {
    uint8_t b = MemberByte(file, file->position++);
    if (b != '\r') return b;
  }
  return -1;
}

// The next 16-bit unit of a member, carriage returns skipped. A lone trailing byte is consumed
// and reads as the end, so no read ever reaches past the member.
wchar_t NextTextUnit(PakFile* file) {
  while (file->position < file->entry->size) {
    if (file->entry->size - file->position < 2) {
      file->position = file->entry->size;
      break;
    }
    wchar_t unit = static_cast<wchar_t>(MemberByte(file, file->position) | (MemberByte(file, file->position + 1) << 8));
    file->position += 2;
    if (unit != L'\r') return unit;
  }
  return kPakWideEof;
}

struct DirectoryRecord {
  std::string name;
  int64_t start = 0;  // from the data start
  int64_t size = 0;
  uint64_t fileTime = 0;
};

bool ReadU32(PakInterface& pak, PakFile* file, uint32_t& value) {
  uint8_t b[4];
  if (pak.Read(b, 1, 4, file) != 4) return false;
  value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
          (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool ReadRecord(PakInterface& pak, PakFile* file, DirectoryRecord& record) {
  uint8_t length = 0;
  if (pak.Read(&length, 1, 1, file) != 1) return false;
  record.name.resize(length);
  if (pak.Read(record.name.data(), 1, length, file) != length) return false;
  uint32_t size = 0, timeLow = 0, timeHigh = 0;
  if (!ReadU32(pak, file, size) || !ReadU32(pak, file, timeLow) || !ReadU32(pak, file, timeHigh)) return false;
  record.size = static_cast<int32_t>(size);
  record.fileTime = (static_cast<uint64_t>(timeHigh) << 32) | timeLow;
  return true;
}

// Header and directory; false when either is damaged or a member lies outside the file. `dataEnd`
// is where the last member ends.
bool ReadDirectory(PakInterface& pak, PakFile* file, std::vector<DirectoryRecord>& records, int64_t& dataEnd) {
  uint32_t magic = 0, version = 0;
  if (!ReadU32(pak, file, magic) || magic != kPakMagic) return false;
  if (!ReadU32(pak, file, version) || version != kPakVersion) return false;
  int64_t offset = 0;
  for (;;) {
    uint8_t flags = 0;
    if (pak.Read(&flags, 1, 1, file) != 1) return false;  // no end marker
    if (flags & kPakEndOfDirectory) break;
    DirectoryRecord record;
    if (!ReadRecord(pak, file, record) || record.size < 0) return false;
    record.start = offset;
    offset += record.size;
    records.push_back(std::move(record));
  }
  int64_t dataStart = pak.Tell(file);
  dataEnd = dataStart + offset;
  for (DirectoryRecord& record : records) {
    record.start += dataStart;
    if (record.start + record.size > file->entry->size) return false;
  }
  return true;
}

// A pattern matches a key when the part before its first '*' begins the key and the part after
// it is empty, ".*", or ends the key.
bool PatternMatchesKey(const std::string& pattern, const std::string& key) {
  size_t star = pattern.find('*');
  if (star == std::string::npos) return false;
  std::string_view head(pattern.data(), star);
  std::string_view tail(pattern.data() + star + 1, pattern.size() - star - 1);
  if (!key.starts_with(head)) return false;
  if (tail.empty() || tail == ".*") return true;
  return key.size() >= head.size() + tail.size() && key.ends_with(tail);
}

// A member is read once, mostly while loading; its pages need not stay in the process's memory
// after it is closed. They stay in the system's file cache, so a reader of the same pages (another
// member sharing the page, another handle) reads them again from there, unchanged: the mapping is
// never written.
void ReleaseMemberPages(const PakEntry& entry) {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t begin = static_cast<size_t>(entry.start) / page * page;
  const size_t memberEnd = static_cast<size_t>(entry.start) + static_cast<size_t>(entry.size);
  const size_t end = std::min(entry.archive->size, (memberEnd + page - 1) / page * page);
  if (end > begin) madvise(const_cast<uint8_t*>(entry.archive->view) + begin, end - begin, MADV_DONTNEED);
}

}  // namespace

struct PakFindData {
  HANDLE disk = INVALID_HANDLE_VALUE;  // the disk search, once the archive matches are exhausted
  std::string lastKey;
  std::string pattern;
};

PakInterface* GetPakInterface() { return gPublishedPak.load(std::memory_order_acquire); }

PakInterface::PakInterface() {
  PakInterface* none = nullptr;
  gPublishedPak.compare_exchange_strong(none, this, std::memory_order_acq_rel);
}

PakInterface::~PakInterface() {
  // Clear the published address, so late readers fall back to the disk instead of a dead object.
  PakInterface* self = this;
  gPublishedPak.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
  for (const auto& archive : mArchives) {
    munmap(const_cast<uint8_t*>(archive->view), archive->size);
    close(archive->fd);
  }
}

bool PakInterface::MountArchive(const std::string& fileName) {
  int fd = Velk::OpenRegularFile(Velk::MapPath(fileName), O_RDONLY);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || info.st_size <= 0 || info.st_size > INT32_MAX) {
    close(fd);
    return false;
  }
  size_t size = static_cast<size_t>(info.st_size);
  void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    close(fd);
    return false;
  }
  auto archive = std::make_unique<PakArchive>(PakArchive{fd, static_cast<const uint8_t*>(view), size});
  PakEntry& own = mDirectory[FoldName(fileName)];
  own = PakEntry{archive.get(), fileName, 0, 0, static_cast<int32_t>(size)};
  mArchives.push_back(std::move(archive));

  // A damaged archive stays mapped under its own name but contributes no members.
  PakFile file{&own, 0, nullptr};
  std::vector<DirectoryRecord> records;
  int64_t dataEnd = 0;
  const bool readable = ReadDirectory(*this, &file, records, dataEnd);
  ReleaseMemberPages(own);
  if (!readable) return false;
  // Bytes after the last member are allowed, but a damaged directory looks just like that (an
  // early end mark leaves every member's data uncovered), so say so.
  mArchives.back()->uncoveredBytes = size - static_cast<size_t>(dataEnd);
  if (mArchives.back()->uncoveredBytes > 0) {
    std::fprintf(stderr, "archive %s: %zu bytes after the last member belong to no member\n", fileName.c_str(),
                 mArchives.back()->uncoveredBytes);
  }
  for (const DirectoryRecord& record : records) {
    mDirectory[MemberKey(record.name)] =
        PakEntry{mArchives.back().get(), record.name, record.fileTime, static_cast<int32_t>(record.start),
                 static_cast<int32_t>(record.size)};
  }
  return true;
}

std::string PakInterface::MemberKey(const std::string& storedName) { return Velk::ToUpper(storedName); }

std::string PakInterface::FoldName(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  size_t i = CurrentFolderPrefixLength(name);
  while (i < name.size()) {
    if (IsSeparator(name[i])) {
      while (i < name.size() && IsSeparator(name[i])) ++i;
      out += '\\';
      continue;
    }
    if (!out.empty() && out.back() == '\\' && IsParentComponent(name, i)) {
      // Drop the separator and the component before it; a ".." above the first component
      // leaves the rest of the name relative to the top.
      out.pop_back();
      while (!out.empty() && out.back() != '\\') out.pop_back();
      i += 2;
      while (i < name.size() && IsSeparator(name[i])) ++i;
      continue;
    }
    out += name[i++];
  }
  return Velk::ToUpper(out);
}

PakFile* PakInterface::Open(const char* name, const char* mode) {
  if (IsArchiveMode(mode)) {
    auto it = mDirectory.find(FoldName(name));
    if (it != mDirectory.end()) return new PakFile{&it->second, 0, nullptr};
  }
  return PakDiskOpen(name, mode);
}

int PakInterface::Close(PakFile* file) {
  if (!file->entry) return PakDiskClose(file);
  ReleaseMemberPages(*file->entry);
  delete file;
  return 0;
}

int PakInterface::Seek(PakFile* file, LONG offset, int origin) {
  if (!file->entry) return PakDiskSeek(file, offset, origin);
  int64_t size = file->entry->size;
  int64_t position = file->position;
  if (origin == SEEK_SET)
    position = offset;
  else if (origin == SEEK_CUR)
    position += offset;
  else if (origin == SEEK_END)
    position = size + offset;
  file->position = static_cast<int32_t>(std::clamp<int64_t>(position, 0, size));
  return 0;
}

LONG PakInterface::Tell(PakFile* file) {
  if (!file->entry) return PakDiskTell(file);
  return file->position;
}

size_t PakInterface::Read(void* buffer, size_t elementSize, size_t count, PakFile* file) {
  if (!file->entry) return PakDiskRead(buffer, elementSize, count, file);
  if (elementSize == 0 || count == 0) return 0;
  size_t remaining = static_cast<size_t>(file->entry->size - file->position);
  size_t wanted = count <= remaining / elementSize ? elementSize * count : remaining;
  auto* out = static_cast<uint8_t*>(buffer);
  const uint8_t* in = file->entry->archive->view + file->entry->start + file->position;
  for (size_t i = 0; i < wanted; ++i) out[i] = PakUnscrambleByte(in[i]);
  file->position += static_cast<int32_t>(wanted);
  return wanted / elementSize;
}

int PakInterface::Getc(PakFile* file) {
  if (!file->entry) return PakDiskGetc(file);
  return NextTextByte(file);
}

wchar_t PakInterface::Getwc(PakFile* file) {
  if (!file->entry) return PakDiskGetwc(file);
  return NextTextUnit(file);
}

int PakInterface::Ungetc(int c, PakFile* file) {
  if (!file->entry) return PakDiskUngetc(c, file);
  if (file->position > 0) --file->position;
  return c;
}

wchar_t* PakInterface::Getws(wchar_t* buffer, int capacity, PakFile* file) {
  if (!file->entry) return PakDiskGetws(buffer, capacity, file);
  return PakReadLine(buffer, capacity, [file] {
    wchar_t unit = NextTextUnit(file);
    return unit == kPakWideEof ? -1 : static_cast<int>(unit);
  });
}

char* PakInterface::Gets(char* buffer, int capacity, PakFile* file) {
  if (!file->entry) return PakDiskGets(buffer, capacity, file);
  return PakReadLine(buffer, capacity, [file] { return NextTextByte(file); });
}

int PakInterface::Eof(PakFile* file) {
  if (!file->entry) return PakDiskEof(file);
  return file->position >= file->entry->size ? 1 : 0;
}

bool PakInterface::NextArchiveMatch(PakFindData& search, WIN32_FIND_DATAA* result) const {
  auto it = mDirectory.begin();
  if (!search.lastKey.empty()) {
    it = mDirectory.find(search.lastKey);
    if (it == mDirectory.end()) return false;
    ++it;
  }
  for (; it != mDirectory.end(); ++it) {
    if (!PatternMatchesKey(search.pattern, it->first)) continue;
    const PakEntry& entry = it->second;
    FILETIME time{static_cast<DWORD>(entry.fileTime), static_cast<DWORD>(entry.fileTime >> 32)};
    *result = WIN32_FIND_DATAA{};
    result->ftCreationTime = result->ftLastAccessTime = result->ftLastWriteTime = time;
    result->nFileSizeLow = static_cast<DWORD>(entry.size);
    size_t slash = entry.name.rfind('\\');
    std::string fileName = slash == std::string::npos ? entry.name : entry.name.substr(slash + 1);
    fileName.copy(result->cFileName, std::min<size_t>(fileName.size(), MAX_PATH - 1));
    search.lastKey = it->first;
    return true;
  }
  return false;
}

PakFindData* PakInterface::FindFirst(const char* pattern, WIN32_FIND_DATAA* result) {
  auto* search = new PakFindData{};
  search->pattern = FoldName(pattern);
  if (NextArchiveMatch(*search, result)) return search;
  search->disk = FindFirstFileA(search->pattern.c_str(), result);
  if (search->disk != INVALID_HANDLE_VALUE) return search;
  delete search;
  return nullptr;
}

bool PakInterface::FindNext(PakFindData* search, WIN32_FIND_DATAA* result) {
  if (search->disk != INVALID_HANDLE_VALUE) return FindNextFileA(search->disk, result);
  if (NextArchiveMatch(*search, result)) return true;
  search->disk = FindFirstFileA(search->pattern.c_str(), result);
  return search->disk != INVALID_HANDLE_VALUE;
}

bool PakInterface::FindClose(PakFindData* search) {
  if (search->disk != INVALID_HANDLE_VALUE) ::FindClose(search->disk);
  delete search;
  return true;
}
