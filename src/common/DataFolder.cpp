#include "common/DataFolder.h"

#include <mutex>

namespace Velk {

namespace {

std::mutex sLock;
std::string sDataFolder;

}  // namespace

std::string GetDataFolder() {
  std::lock_guard guard(sLock);
  return sDataFolder;
}

void SetDataFolder(const std::string& folder) {
  std::lock_guard guard(sLock);
  sDataFolder = folder;
}

}  // namespace Velk
