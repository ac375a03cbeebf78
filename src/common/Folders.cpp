#include "common/Folders.h"

#include "common/Path.h"
#include "platform/files/FileCalls.h"
#include "platform/files/FindFiles.h"

namespace Velk {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i)
    if (IsSeparator(path[i])) _mkdir(path.substr(0, i).c_str());
  _mkdir(path.c_str());
}

void DeleteTree(const std::string& folder) {
  if (folder.size() < 2) return;
  std::string prefix = EnsureTrailingSlash(folder, true);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((prefix + "*.*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      // A link to a folder is a reparse point: deleting it removes the link, not what it points at.
      bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                      (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
      if (isFolder)
        DeleteTree(prefix + name);
      else
        DeleteFileA((prefix + name).c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  _rmdir(folder.c_str());
}

}  // namespace Velk
