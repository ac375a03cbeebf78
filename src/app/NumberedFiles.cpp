#include "app/NumberedFiles.h"

#include "common/StringUtil.h"
#include "platform/files/FileCalls.h"
#include "platform/files/FindFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace Velk {

namespace {

// The number after the prefix, read as "%d" reads it; false when the name holds none.
bool NumberAfterPrefix(const std::string& name, const std::string& prefix, int& number) {
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const char* start = name.c_str() + prefix.size();
  char* end = nullptr;
  long value = std::strtol(start, &end, 10);
  if (end == start || !std::isdigit(static_cast<unsigned char>(end[-1]))) return false;
  number = static_cast<int>(value);
  return true;
}

}  // namespace

NumberedFileScan ScanNumberedFiles(const std::string& folder, const std::string& prefix, const std::string& suffix) {
  NumberedFileScan scan;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + prefix + "*" + suffix).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return scan;
  do {
    int number = 0;
    if (!NumberAfterPrefix(data.cFileName, prefix, number)) continue;
    scan.highest = scan.count ? std::max(scan.highest, number) : number;
    scan.lowest = scan.count ? std::min(scan.lowest, number) : number;
    ++scan.count;
  } while (FindNextFileA(search, &data));
  FindClose(search);
  if (scan.highest < 0) scan.highest = 0;
  return scan;
}

int GetLastDemoNumber(const std::string& baseName, int keepCount, bool deleteOldest) {
  const size_t cut = baseName.find_last_of("\\/") + 1;  // 0 when the name has no folder
  const std::string folder = baseName.substr(0, cut);
  NumberedFileScan scan = ScanNumberedFiles(folder, baseName.substr(cut), ".dmo");
  if (deleteOldest && scan.count > 0 && scan.count >= keepCount)
    DeleteFileA(FormatString("%s%d.dmo", baseName.c_str(), scan.lowest).c_str());
  return scan.highest;
}

std::string NextScreenshotPath(const std::string& folder) {
  return folder + "image" + std::to_string(ScanNumberedFiles(folder, "image", ".png").highest + 1) + ".png";
}

}  // namespace Velk
