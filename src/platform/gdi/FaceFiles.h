#pragma once
#include <string>

// The DejaVu file that stands in for a requested face: "Courier New" becomes DejaVu Sans Mono, every
// other face DejaVu Sans, in the bold, oblique or bold-oblique cut asked for.
std::string FaceFilePath(const std::string& faceName, bool bold, bool italic);
