#pragma once
// Reading a file only when it is a plain file, without waiting: a pipe or a device in its place
// would block the open or never end the read.
#include <cstdint>
#include <string>

namespace Velk {

// The descriptor of the file at `path` opened with `flags` (O_CLOEXEC and O_NONBLOCK are added), or
// -1 with errno set: EISDIR for anything but a plain file.
int OpenRegularFile(const std::string& path, int flags, unsigned createMode = 0644);
// The whole file behind `fd`, when it holds at most `limit` bytes; false with errno set otherwise
// (ENOMEM for a larger file).
bool ReadBounded(int fd, uint64_t limit, std::string& bytes);

}  // namespace Velk
