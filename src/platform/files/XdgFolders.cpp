#include "platform/files/XdgFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace Velk {

namespace {

// Relative values are ignored, as the base-directory convention asks.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string HomeFolder() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return "/tmp";
}

std::string EnvOrHome(const char* name, const char* underHome) {
  std::string value = AbsoluteEnv(name);
  return value.empty() ? HomeFolder() + underHome : value;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string GetConfigHome() { return EnvOrHome("XDG_CONFIG_HOME", "/.config"); }

std::string GetDataHome() { return EnvOrHome("XDG_DATA_HOME", "/.local/share"); }

// A variable naming a folder that is not there counts as unset: the single-instance lock lives here.
std::string GetRuntimeFolder() {
  std::string value = AbsoluteEnv("XDG_RUNTIME_DIR");
  return value.empty() || !IsFolder(value) ? "/tmp" : value;
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string prefix = path.substr(0, i);
      if (mkdir(prefix.c_str(), 0777) == 0) continue;
      const int error = errno;  // why it could not be made, not why it is not there
      if (!IsFolder(prefix)) {
        errno = error;
        return false;
      }
    }
  }
  return IsFolder(path);
}

std::string FileInTheWay(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    struct stat info {};
    if (stat(part.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return part;
  }
  return {};
}

}  // namespace Velk
