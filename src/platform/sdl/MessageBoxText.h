#pragma once
// The desktop's message box is as wide as the longest line of its text, so a long notice (one that
// names a file in the player's home, say) would run off the screen. Its text is broken into lines
// at spaces first.
#include <cstddef>
#include <string>

namespace Velk {

// The characters a line of a message box holds at most.
constexpr size_t kMessageBoxColumns = 72;

// `utf8` with each of its lines broken at spaces into lines of at most `columns` characters; a word
// longer than that (a path) stands whole on a line of its own, and the text's own line breaks stay.
std::string WrapMessageText(const std::string& utf8, size_t columns = kMessageBoxColumns);

}  // namespace Velk
