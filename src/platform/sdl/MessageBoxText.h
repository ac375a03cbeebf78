#pragma once
// The desktop's message box is as wide as the longest line of its text, so a long notice (one that
// names a file in the player's home, say) would run off the screen. Its text is broken into lines
// at spaces, never at a space inside a path.
#include <cstddef>
#include <string>

namespace Velk {

// The characters a line of a message box holds at most.
constexpr size_t kMessageBoxColumns = 72;

// `utf8` with each of its lines broken at spaces into lines of at most `columns` characters, and the
// text's own line breaks kept. A path (from a word that begins with '/' to the line's last word with
// a '/' in it) is not broken at its spaces; longer than a line, it starts a line and breaks before
// its separators. Any other word longer than a line stands whole on a line of its own.
std::string WrapMessageText(const std::string& utf8, size_t columns = kMessageBoxColumns);

}  // namespace Velk
