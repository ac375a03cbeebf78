#include "common/Parse.h"

namespace Velk {

namespace {

// -1 when c is not a digit of the base.
template <typename Char>
int DigitValue(Char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <typename Char>
bool ParseIntText(const std::basic_string<Char>& text, int& out) {
  out = 0;
  if (text.empty()) return false;
  bool negative = text[0] == '-';
  bool hex = false;
  // Unsigned arithmetic: an out-of-range number wraps instead of overflowing.
  uint32_t value = 0;
  for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    Char c = text[i];
    if (i == 1 && text[0] == '0' && (c == 'x' || c == 'X')) {
      hex = true;
      continue;
    }
    int digit = DigitValue(c, hex);
    if (digit < 0) return false;
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
  }
  out = static_cast<int>(negative ? 0u - value : value);
  return true;
}

}  // namespace

bool ParseInt(const std::string& text, int& out) { return ParseIntText(text, out); }

bool ParseIntW(const std::wstring& text, int& out) { return ParseIntText(text, out); }

bool ParseDoubleW(const std::wstring& text, double& out) {
  out = 0.0;
  if (text.empty()) return false;
  bool negative = text[0] == L'-';
  bool fraction = false;
  double factor = 0.1;
  double value = 0.0;
  for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'.' && !fraction) {
      fraction = true;
      continue;
    }
    int digit = DigitValue(c, false);
    if (digit < 0) return false;
    if (fraction) {
      value += digit * factor;
      factor /= 10.0;
    } else {
      value = value * 10.0 + digit;
    }
  }
  out = negative ? -value : value;
  return true;
}

bool ParseHex(const std::string& text, uint32_t& out) {
  out = 0;
  size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    int digit = DigitValue(text[i], true);
    if (digit < 0) return false;
    size_t shift = 4 * (n - i - 1);
    if (shift < 32) out += static_cast<uint32_t>(digit) << shift;
  }
  return true;
}

}  // namespace Velk
