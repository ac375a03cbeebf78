#include "contentlib/Utf16Writer.h"

#include <cstdint>

namespace Content {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts, and the bits it carries; 0 for a bad lead.
int SequenceLength(uint8_t lead, char32_t& bits) {
  if (lead < 0x80) return bits = lead, 1;
  if ((lead & 0xE0) == 0xC0) return bits = lead & 0x1F, 2;
  if ((lead & 0xF0) == 0xE0) return bits = lead & 0x0F, 3;
  if ((lead & 0xF8) == 0xF0) return bits = lead & 0x07, 4;
  return 0;
}

bool Acceptable(char32_t c, int length) {
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  return c >= kSmallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void PutUnit(std::string& out, uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::u32string Utf16Writer::Decode(std::string_view utf8) {
  std::u32string out;
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    const int length = SequenceLength(static_cast<uint8_t>(utf8[i]), c);
    int taken = 1;
    while (length > 1 && taken < length && i + taken < utf8.size() &&
           (static_cast<uint8_t>(utf8[i + taken]) & 0xC0) == 0x80)
      c = (c << 6) | (static_cast<uint8_t>(utf8[i + taken++]) & 0x3F);
    const bool good = length > 0 && taken == length && Acceptable(c, length);
    out.push_back(good ? c : kReplacement);
    i += good ? length : 1;
  }
  return out;
}

std::string Utf16Writer::Convert(std::string_view utf8, bool byteOrderMark) {
  std::string out;
  out.reserve(utf8.size() * 2 + 2);
  if (byteOrderMark) PutUnit(out, 0xFEFF);
  for (char32_t c : Decode(utf8)) {
    if (c < 0x10000) {
      PutUnit(out, c);
    } else {
      PutUnit(out, 0xD800 + ((c - 0x10000) >> 10));
      PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace Content
