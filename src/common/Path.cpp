#include "common/Path.h"

#include <vector>

namespace Velk {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

bool EndsInSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

std::vector<std::string> SplitAtSeparators(const std::string& path) {
  std::vector<std::string> segments(1);
  for (char c : path) {
    if (IsSeparator(c))
      segments.emplace_back();
    else
      segments.back().push_back(c);
  }
  return segments;
}

// Drops the last folder of a base that ends in a separator; false when there is none to drop.
bool RemoveLastFolder(std::string& base) {
  if (base.empty()) return false;
  std::string withoutSlash = base.substr(0, base.size() - 1);
  size_t cut = LastSeparator(withoutSlash);
  std::string folder = cut == std::string::npos ? withoutSlash : withoutSlash.substr(cut + 1);
  if (folder.empty() || folder == "..") return false;
  base.resize(cut == std::string::npos ? 0 : cut + 1);
  return true;
}

}  // namespace

std::string GetFileName(const std::string& path) {
  size_t cut = LastSeparator(path);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string PathFileName(const std::string& path, bool cutExtension) {
  std::string name = GetFileName(path);
  if (cutExtension) {
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
  }
  return name;
}

std::string PathDirectory(const std::string& path, bool keepSlash) {
  size_t cut = LastSeparator(path);
  if (cut == std::string::npos) return std::string();
  return path.substr(0, keepSlash ? cut + 1 : cut);
}

std::string StripTrailingSlash(const std::string& path) {
  return EndsInSeparator(path) ? path.substr(0, path.size() - 1) : path;
}

std::string EnsureTrailingSlash(const std::string& path, bool backslash) {
  if (path.empty() || EndsInSeparator(path)) return path;
  return path + (backslash ? '\\' : '/');
}

std::string ResolvePath(const std::string& path, const std::string& base) {
  if (path.size() >= 2 && path[1] == ':') return path;
  const bool anyBackslash = path.find('\\') != std::string::npos || base.find('\\') != std::string::npos;
  const char separator = anyBackslash ? '\\' : '/';

  std::string drive;
  std::string folder = base;
  if (folder.size() >= 2 && folder[1] == ':' &&
      ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'))) {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  // An empty base means the current folder; a separator there would make the result absolute.
  if (!folder.empty() && !EndsInSeparator(folder)) folder.push_back(separator);

  std::vector<std::string> segments = SplitAtSeparators(path);
  for (size_t i = 0; i + 1 < segments.size(); ++i) {
    const std::string& segment = segments[i];
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!RemoveLastFolder(folder)) folder += ".." + std::string(1, separator);
    } else {
      folder += segment + separator;
    }
  }
  std::string result = drive + folder + segments.back();
  for (char& c : result)
    if (IsSeparator(c)) c = separator;
  return result;
}

}  // namespace Velk
