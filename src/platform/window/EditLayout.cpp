#include "platform/window/EditLayout.h"

namespace Velk {

EditLayout::EditLayout(const std::wstring& text, int width, const Measure& measure) {
  size_t start = 0;
  for (;;) {
    const size_t feed = text.find(L'\n', start);
    size_t end = feed == std::wstring::npos ? text.size() : feed;
    if (end > start && text[end - 1] == L'\r') --end;
    WrapParagraph(text, start, end, width, measure);
    if (feed == std::wstring::npos) break;
    start = feed + 1;
  }
}

void EditLayout::WrapParagraph(const std::wstring& text, size_t start, size_t end, int width, const Measure& measure) {
  while (end - start > 0 && measure(text.data() + start, end - start) > width) {
    // The longest head that fits, then back to the last blank in it when there is one.
    size_t fit = 1;
    size_t tooLong = end - start;
    while (tooLong - fit > 1) {
      const size_t middle = fit + (tooLong - fit) / 2;
      (measure(text.data() + start, middle) <= width ? fit : tooLong) = middle;
    }
    size_t cut = fit;
    while (cut > 0 && text[start + cut] != L' ') --cut;
    if (cut == 0) cut = fit;
    lines_.push_back(EditLine{start, cut});
    start += cut;
    while (start < end && text[start] == L' ') ++start;
  }
  lines_.push_back(EditLine{start, end - start});
}

int EditLayout::LineOfIn(const std::vector<EditLine>& lines, size_t index) {
  int line = 0;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (lines[static_cast<size_t>(i)].start <= index) line = i;
  }
  return line;
}

}  // namespace Velk
