#include "platform/sdl/MessageBoxText.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace Velk {

namespace {

bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Characters, not bytes: a UTF-8 continuation byte adds none.
size_t Characters(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), StartsCharacter));
}

// The bytes of `text`'s first `characters` characters.
size_t BytesOf(std::string_view text, size_t characters) {
  size_t at = 0;
  for (size_t counted = 0; at < text.size(); ++at) {
    if (StartsCharacter(text[at]) && counted++ == characters) break;
  }
  return at;
}

// The line's words. A path (a word that begins with '/') is one word with the spaces in its
// folder names: it runs on to the last word of the line that holds a '/'.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  for (size_t at = 0; at <= line.size();) {
    size_t end = std::min(line.find(' ', at), line.size());
    if (at < line.size() && line[at] == '/') {
      const size_t lastSeparator = line.rfind('/');
      if (lastSeparator > end) end = std::min(line.find(' ', lastSeparator), line.size());
    }
    words.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

// A path longer than a line, in pieces that each begin at one of its separators; a name longer
// than a line by itself is cut at the line's width, so that the box still fits on the screen.
std::vector<std::string_view> PathPieces(std::string_view path, size_t columns) {
  std::vector<std::string_view> pieces;
  for (size_t at = 0; at < path.size();) {
    size_t end = std::min(path.find('/', at + 1), path.size());
    end = at + std::clamp(BytesOf(path.substr(at), columns), size_t{1}, end - at);
    pieces.push_back(path.substr(at, end - at));
    at = end;
  }
  return pieces;
}

class LineFiller {
 public:
  explicit LineFiller(size_t columns) : columns_(columns) {}

  // Adds `word` after `gap` on the current line, or at the start of the next one when it does not fit.
  void Add(std::string_view word, std::string_view gap) {
    const size_t wordWidth = Characters(word);
    if (width_ > 0 && width_ + gap.size() + wordWidth > columns_) {
      Break();
    } else if (started_) {
      text_ += gap;
      width_ += gap.size();
    }
    text_ += word;
    width_ += wordWidth;
    started_ = true;
  }

  void Break() {
    text_ += '\n';
    width_ = 0;
  }

  size_t Width() const { return width_; }
  const std::string& Text() const { return text_; }

 private:
  size_t columns_;
  std::string text_;
  size_t width_ = 0;
  bool started_ = false;
};

std::string WrapLine(std::string_view line, size_t columns) {
  LineFiller filler(columns);
  for (std::string_view word : Words(line)) {
    if (word.empty() || word.front() != '/' || Characters(word) <= columns) {
      filler.Add(word, " ");
      continue;
    }
    if (filler.Width() > 0) filler.Break();
    for (std::string_view piece : PathPieces(word, columns)) filler.Add(piece, "");
  }
  return filler.Text();
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
