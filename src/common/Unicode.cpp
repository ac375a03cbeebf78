#include "common/Unicode.h"

namespace Velk {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUnits(std::wstring& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<wchar_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one sequence starting at pos and advances pos past it. Overlong forms, surrogates, values
// above U+10FFFF and truncated sequences give U+FFFD; a bad lead byte consumes only itself.
char32_t DecodeUtf8(const std::string& s, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;
  int more;
  char32_t cp;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < more; ++i) {
    if (pos >= s.size() || (byte(pos) & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (byte(pos++) & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp)) return kReplacement;
  return cp;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) AppendUnits(out, DecodeUtf8(utf8, pos));
  return out;
}

std::string WideToUtf8(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t unit = static_cast<uint32_t>(wide[i]);
    if (IsHighSurrogate(unit) && i + 1 < wide.size() && IsLowSurrogate(static_cast<uint32_t>(wide[i + 1]))) {
      uint32_t low = static_cast<uint32_t>(wide[++i]);
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || unit > 0x10FFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      // A whole code point in one wchar_t (a literal written in this compiler's UTF-32) passes too.
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::wstring Utf16LEToWide(const uint8_t* bytes, size_t count) {
  std::wstring out;
  out.reserve(count / 2);
  for (size_t i = 0; i + 1 < count; i += 2) out.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
  return out;
}

std::string WideToUtf16LE(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size() * 2);
  for (wchar_t c : wide) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

}  // namespace Velk
