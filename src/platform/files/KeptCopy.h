#pragma once
// Where a damaged file is kept for the user before the program starts it afresh: beside it, as
// "<file>.bad", then "<file>.bad.1", "<file>.bad.2" and so on, so that a second damage never takes the
// place of the first one's copy.

#include <string>

namespace Velk {

// The first of "<path>.bad", "<path>.bad.1", ... where nothing is yet. Whatever stands at a name (a
// file, a folder, a pipe, a link) is an earlier copy or the user's own and is stepped over.
std::string KeptCopyName(const std::string& path);

// Moves what stands at `path` to `kept`, never over anything already there; false with errno set
// otherwise. Where the filesystem cannot rename without replacing, the file is linked under the new
// name and then unlinked under the old.
bool MoveToKeptCopy(const std::string& path, const std::string& kept);

// For tests: while `error` is not 0, renaming without replacing fails with it, as on a filesystem
// that does not know the flag (EINVAL, ENOSYS) or one mounted read-only (EROFS).
void RefuseNoReplaceRename(int error);

}  // namespace Velk
