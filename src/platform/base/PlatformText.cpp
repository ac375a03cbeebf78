#include "platform/base/PlatformText.h"

#include <cstdint>

namespace Velk::PlatformText {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at `i`, advancing it; malformed input yields U+FFFD and skips one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  uint8_t lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || s.size() - i <= static_cast<size_t>(extra)) {
    ++i;
    return kReplacement;
  }
  char32_t c = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::wstring Utf8ToUtf16(std::string_view utf8) {
  std::wstring out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = DecodeUtf8(utf8, i);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::wstring_view utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = static_cast<char32_t>(utf16[i]) & 0xFFFF;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size()) {
      char32_t low = static_cast<char32_t>(utf16[i + 1]) & 0xFFFF;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) c = kReplacement;
    AppendUtf8(out, c);
  }
  return out;
}

std::wstring Latin1ToUtf16(std::string_view latin1) {
  std::wstring out;
  out.reserve(latin1.size());
  for (char ch : latin1) out += static_cast<wchar_t>(static_cast<uint8_t>(ch));
  return out;
}

std::string Utf16ToLatin1(std::wstring_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(utf16[i]) & 0xFFFF;
    bool pair =
        c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && (static_cast<uint32_t>(utf16[i + 1]) & 0xFC00) == 0xDC00;
    if (pair) ++i;
    out += c <= 0xFF ? static_cast<char>(c) : '?';
  }
  return out;
}

std::wstring LowerAscii(std::wstring s) {
  for (auto& c : s) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return s;
}

}  // namespace Velk::PlatformText
