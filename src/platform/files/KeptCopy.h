#pragma once
// Where a damaged file is kept for the user before the program starts it afresh: beside it, as
// "<file>.bad", then "<file>.bad.1", "<file>.bad.2" and so on, so that a second damage never takes the
// place of the first one's copy.

#include <string>

namespace Velk {

// The first of "<path>.bad", "<path>.bad.1", ... where nothing is yet. Whatever stands at a name (a
// file, a pipe, a link) is an earlier copy and is stepped over; a folder is not: the name is answered
// and the copy fails there, so that the damaged file stays as it is.
std::string KeptCopyName(const std::string& path);

}  // namespace Velk
