#pragma once
// Every file name the program hands to the operating system passes through here. Names written for
// Windows use '\' and ignore case; the disk does neither.

#include <cstdio>
#include <string>

namespace Velk {

// Turns '\' into '/'. A path that exists as written is returned as written; otherwise each component,
// from the left, is matched without regard to ASCII case against the entries of its folder, and the
// components from the first one that matches nothing on are kept as given (so a new file in an
// existing folder of another case lands in that folder). Several entries differing only in case: the
// exact one wins, else the first in byte order.
std::string MapPath(const std::string& path);

// fopen through MapPath, of a plain file only (see OpenRegularStream).
FILE* OpenFile(const std::string& path, const char* mode);

}  // namespace Velk
