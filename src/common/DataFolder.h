#pragma once
// The process-wide folder where the program keeps what it writes (demos, screenshots, dumps),
// with a trailing separator; empty means the current folder.

#include <string>

namespace Velk {

std::string GetDataFolder();
void SetDataFolder(const std::string& folder);

}  // namespace Velk
