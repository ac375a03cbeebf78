#pragma once
// Files numbered by a name prefix ("velkapp3.dmo", "image7.png"): the demo keeps a rolling set of
// recordings and screenshots never overwrite one another.
#include <string>

namespace Velk {

struct NumberedFileScan {
  int count = 0;    // files whose name holds a number after the prefix
  int highest = 0;  // 0 when there is none
  int lowest = 0;
};

// Scans folder (empty: the current one, else ending in a separator) for prefix + number + suffix.
NumberedFileScan ScanNumberedFiles(const std::string& folder, const std::string& prefix, const std::string& suffix);

// The highest demo number for the base name, in the folder the base name starts with (the current
// folder when it has none); with deleteOldest, when at least keepCount such files exist, the
// lowest-numbered one is deleted first.
int GetLastDemoNumber(const std::string& baseName, int keepCount, bool deleteOldest);

// The path of the next screenshot in folder (ending in a separator): image<highest + 1>.png.
std::string NextScreenshotPath(const std::string& folder);

}  // namespace Velk
