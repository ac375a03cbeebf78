#include "common/DataFolder.h"

#include <mutex>

#include "common/Path.h"
#include "common/SystemVersion.h"

namespace Velk {

namespace {

std::mutex sLock;
std::string sDataFolder;

}  // namespace

std::string GetDataFolder() {
  std::lock_guard guard(sLock);
  return sDataFolder;
}

// Systems before Vista keep the folder empty, so what goes under it lands in the current folder.
// An empty path stays empty too, rather than becoming the root.
void SetDataFolder(const std::string& folder) {
  if (!IsWindowsVistaOrLater()) return;
  std::lock_guard guard(sLock);
  sDataFolder = EnsureTrailingSlash(folder, true);
}

}  // namespace Velk
