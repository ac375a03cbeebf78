#include "platform/files/FindFiles.h"

#include "platform/base/LastError.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/PathMap.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct Search {
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

std::mutex gSearchLock;
std::set<Search*> gSearches;

// '*' runs are matched greedily with one resume point, which keeps the match linear-ish on any pattern.
bool MatchFrom(const char* p, const char* n) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n != '\0') {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p != '\0' && (*p == '?' || Velk::FoldAscii(*p) == Velk::FoldAscii(*n))) {
      ++p;
      ++n;
    } else if (star != nullptr) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

FILETIME ToFileTime(const timespec& t) {
  constexpr uint64_t kEpochDifference = 11644473600ull;  // seconds from 1601 to 1970
  uint64_t ticks =
      (static_cast<uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ull + static_cast<uint64_t>(t.tv_nsec) / 100;
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool Describe(const std::string& folder, const char* name, WIN32_FIND_DATAA* out) {
  size_t length = std::strlen(name);
  if (length >= MAX_PATH) return false;
  struct stat info {};
  if (lstat((folder + name).c_str(), &info) != 0) return false;
  *out = WIN32_FIND_DATAA{};
  if (S_ISLNK(info.st_mode)) {
    out->dwFileAttributes = FILE_ATTRIBUTE_REPARSE_POINT;
  } else if (S_ISDIR(info.st_mode)) {
    out->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    out->dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  }
  if ((info.st_mode & S_IWUSR) == 0) out->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  out->ftCreationTime = ToFileTime(info.st_ctim);
  out->ftLastAccessTime = ToFileTime(info.st_atim);
  out->ftLastWriteTime = ToFileTime(info.st_mtim);
  if (!S_ISDIR(info.st_mode)) {
    uint64_t size = static_cast<uint64_t>(info.st_size);
    out->nFileSizeLow = static_cast<DWORD>(size);
    out->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  }
  std::memcpy(out->cFileName, name, length + 1);
  return true;
}

Search* Live(HANDLE handle) {
  auto* search = static_cast<Search*>(handle);
  return gSearches.count(search) != 0 ? search : nullptr;
}

}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr || pattern[0] == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = pattern;
  size_t cut = path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : Velk::MapPath(path.substr(0, cut + 1));
  std::string namePattern = cut == std::string::npos ? path : path.substr(cut + 1);

  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Velk::ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_unique<Search>();
  while (const dirent* entry = readdir(dir)) {
    WIN32_FIND_DATAA found;
    if (Velk::MatchFileName(namePattern, entry->d_name) && Describe(folder, entry->d_name, &found)) {
      search->entries.push_back(found);
    }
  }
  closedir(dir);
  if (search->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(search->entries.begin(), search->entries.end(), [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
    return std::strcmp(a.cFileName, b.cFileName) < 0;
  });
  *data = search->entries[0];
  search->next = 1;
  std::lock_guard<std::mutex> hold(gSearchLock);
  gSearches.insert(search.get());
  return search.release();
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
  std::lock_guard<std::mutex> hold(gSearchLock);
  Search* search = Live(handle);
  if (search == nullptr || data == nullptr) {
    SetLastError(search == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (search->next >= search->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = search->entries[search->next++];
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  std::lock_guard<std::mutex> hold(gSearchLock);
  Search* search = Live(handle);
  if (search == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  gSearches.erase(search);
  delete search;
  return TRUE;
}

namespace Velk {

bool MatchFileName(const std::string& pattern, const std::string& name) {
  if (MatchFrom(pattern.c_str(), name.c_str())) return true;
  size_t n = pattern.size();
  return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && MatchFrom(pattern.substr(0, n - 2).c_str(), name.c_str());
}

}  // namespace Velk
