#pragma once
// Writes a whole file so that readers see either the old contents or the new, never a torn mix:
// a temporary file beside it, flushed to disk, then renamed over it.

#include <string>

namespace Velk {

// False (and errno set) when the file cannot be written; the old contents then stay.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace Velk
