#include "platform/files/KeptCopy.h"

#include <sys/stat.h>

namespace Velk {

std::string KeptCopyName(const std::string& path) {
  std::string name = path + ".bad";
  struct stat info {};
  for (int n = 1; lstat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode); ++n) {
    name = path + ".bad." + std::to_string(n);
  }
  return name;
}

}  // namespace Velk
