#include "platform/files/PathMap.h"

#include "platform/files/AsciiCase.h"
#include "platform/files/RegularFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace Velk {

namespace {

bool EqualNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0' || Velk::FoldAscii(a[i]) != Velk::FoldAscii(b[i])) return false;
  }
  return b[i] == '\0';
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` that equals `name` but for case, or "" when none does.
std::string FindNoCase(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string best;
  while (const dirent* entry = readdir(dir)) {
    if (EqualNoCase(name, entry->d_name) && (best.empty() || best > entry->d_name)) best = entry->d_name;
  }
  closedir(dir);
  return best;
}

}  // namespace

std::string MapPath(const std::string& path) {
  std::string slashed = path;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  if (slashed.empty() || Exists(slashed)) return slashed;

  std::string mapped;
  size_t pos = 0;
  if (slashed[0] == '/') {
    mapped = "/";
    pos = 1;
  }
  bool matching = true;
  while (pos <= slashed.size()) {
    size_t end = slashed.find('/', pos);
    if (end == std::string::npos) end = slashed.size();
    std::string part = slashed.substr(pos, end - pos);
    if (matching && !part.empty() && part != "." && part != "..") {
      const std::string& folder = mapped;
      if (!Exists(folder + part)) {
        std::string found = FindNoCase(folder, part);
        if (found.empty()) {
          matching = false;
        } else {
          part = found;
        }
      }
    }
    mapped += part;
    if (end < slashed.size()) mapped += '/';
    pos = end + 1;
  }
  return mapped;
}

FILE* OpenFile(const std::string& path, const char* mode) { return OpenRegularStream(MapPath(path), mode); }

}  // namespace Velk
