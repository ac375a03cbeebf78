#pragma once
// Writes a whole file so that readers see either the old contents or the new, never a torn mix:
// a temporary file beside it ("<name>.<pid>.<n>.tmp"), flushed to disk, then renamed over it. A file
// replaced keeps its permission bits; on a filesystem that refuses mode changes it is written all the
// same, never more open to others than it was. A new one gets 0644 less the umask.

#include <cstddef>
#include <string>

namespace Velk {

// False (and errno set) when the file cannot be written; the old contents then stay. The first
// write of a path in this process first removes the temporaries of writers that were killed.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Removes the temporaries of `path` whose writing process no longer runs; those of live processes
// (this one included) may still be written and stay.
void RemoveStaleTemporaries(const std::string& path);

// For tests: while set, temporaries are written in pieces of at most 4096 bytes and the probe is
// told the count written so far after each piece.
void SetAtomicWriteProbe(void (*probe)(size_t written));

}  // namespace Velk
