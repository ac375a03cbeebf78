#pragma once
// The process-wide folder where the program keeps what it writes (demos, screenshots, dumps, the
// decoded-sound cache), with a trailing separator; empty means the current folder.

#include <string>

namespace Velk {

std::string GetDataFolder();
// Stores the folder with '\' appended unless it already ends in '\' or '/'. Only on Vista or later
// systems; older ones keep the folder empty.
void SetDataFolder(const std::string& folder);

}  // namespace Velk
