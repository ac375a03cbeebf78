#pragma once
// The lines a multi-line edit shows: its text broken at line ends ("\r\n" or "\n") and wrapped at
// word boundaries to the width of its text area; a word wider than the area is broken where it
// must be.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace Velk {

struct EditLine {
  size_t start = 0;   // index of the line's first character in the text
  size_t length = 0;  // characters shown, without the line end
};

class EditLayout {
 public:
  // The width in pixels of `count` characters from `text`.
  using Measure = std::function<int(const wchar_t* text, size_t count)>;

  EditLayout(const std::wstring& text, int width, const Measure& measure);

  const std::vector<EditLine>& Lines() const { return lines_; }
  // The line of `lines` that holds the character at `index` (the end of the text: the last line).
  static int LineOfIn(const std::vector<EditLine>& lines, size_t index);

 private:
  void WrapParagraph(const std::wstring& text, size_t start, size_t end, int width, const Measure& measure);
  std::vector<EditLine> lines_;
};

}  // namespace Velk
