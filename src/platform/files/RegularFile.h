#pragma once
// Reading a file only when it is a plain file, without waiting: a pipe or a device in its place
// would block the open or never end the read.
#include <cstdint>
#include <cstdio>
#include <string>

namespace Velk {

// The descriptor of the file at `path` opened with `flags` (O_CLOEXEC and O_NONBLOCK are added), or
// -1 with errno set: EISDIR for anything but a plain file.
int OpenRegularFile(const std::string& path, int flags, unsigned createMode = 0644);
// The whole file behind `fd`, when it holds at most `limit` bytes; false with errno set otherwise
// (EFBIG for a larger file).
bool ReadBounded(int fd, uint64_t limit, std::string& bytes);
// The whole plain file at `path`, as ReadBounded reads it; false with errno set otherwise.
bool ReadRegularFile(const std::string& path, uint64_t limit, std::string& bytes);
// The plain file at `path` as a stream opened as fopen's `mode` opens it ('r', 'w' or 'a', then
// '+', 'b' or 't'); nullptr with errno set otherwise.
FILE* OpenRegularStream(const std::string& path, const char* mode);

}  // namespace Velk
