#pragma once
// Path text helpers. Both '\' and '/' separate; the last separator is whichever of the two stands
// later. They only work on text and never touch the file system.

#include <string>

namespace Velk {

std::string GetFileName(const std::string& path);
// As GetFileName; with cutExtension the part after the last '.' (and the '.') is dropped.
std::string PathFileName(const std::string& path, bool cutExtension);
// Everything before the last separator, with it when keepSlash is set; empty when there is none.
std::string PathDirectory(const std::string& path, bool keepSlash);
std::string StripTrailingSlash(const std::string& path);
// Appends '\' (backslash set) or '/' unless the path already ends in either; empty stays empty.
std::string EnsureTrailingSlash(const std::string& path, bool backslash);
// Joins a relative path to a base folder, folding ".." segments into the base. A path with a drive
// letter is returned as it is; the result uses '\' when either text does, else '/'.
std::string ResolvePath(const std::string& path, const std::string& base);

}  // namespace Velk
