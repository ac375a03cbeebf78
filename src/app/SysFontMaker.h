#pragma once
// Makes a system font without bringing the text renderer's declarations next to the window
// layer's, whose handle names overlap.

#include <string>

namespace Velk {

class Font;

Font* MakeSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic, bool underline);

}  // namespace Velk
