#pragma once
// Folder creation and removal. Paths may use '\' or '/'.

#include <string>

namespace Velk {

// Creates every folder along the path; existing folders and failures are ignored.
void MakeDirs(const std::string& path);
// Removes a folder with everything below it. A symbolic link is removed itself, never followed.
// Paths shorter than 2 characters are refused; failures are ignored.
void DeleteTree(const std::string& folder);

}  // namespace Velk
