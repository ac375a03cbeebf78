#pragma once
// The per-user folders everything this layer keeps lives in. Each is read from the environment on
// every call, so a test can point it at a scratch folder.

#include <string>

namespace Velk {

// $XDG_CONFIG_HOME, else ~/.config.
std::string GetConfigHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::string GetDataHome();
// $XDG_RUNTIME_DIR, else /tmp.
std::string GetRuntimeFolder();

// Creates the folder and every missing parent; true when the folder exists afterwards, else false
// with errno telling why the first missing one could not be made.
bool MakeFolders(const std::string& path);
// The first part of `path` (or the whole) that is there but is not a folder, and so stands in the
// way of every folder below it; empty when there is none.
std::string FileInTheWay(const std::string& path);

}  // namespace Velk
