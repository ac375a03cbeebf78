#include "platform/sdl/MessageBoxText.h"

#include <algorithm>
#include <string_view>

namespace Velk {

namespace {

// Characters, not bytes: a UTF-8 continuation byte adds none.
size_t Characters(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string WrapLine(std::string_view line, size_t columns) {
  std::string wrapped;
  size_t width = 0;
  for (size_t at = 0; at <= line.size();) {
    const size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view word = line.substr(at, end - at);
    const size_t wordWidth = Characters(word);
    if (width > 0 && width + 1 + wordWidth > columns) {
      wrapped += '\n';
      width = 0;
    } else if (at > 0) {
      wrapped += ' ';
      ++width;
    }
    wrapped += word;
    width += wordWidth;
    at = end + 1;
  }
  return wrapped;
}

}  // namespace

std::string WrapMessageText(const std::string& utf8, size_t columns) {
  std::string wrapped;
  for (size_t at = 0; at <= utf8.size();) {
    const size_t end = std::min(utf8.find('\n', at), utf8.size());
    if (at > 0) wrapped += '\n';
    wrapped += WrapLine(std::string_view(utf8).substr(at, end - at), columns);
    at = end + 1;
  }
  return wrapped;
}

}  // namespace Velk
