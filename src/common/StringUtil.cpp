#include "common/StringUtil.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace Velk {

namespace {

// The C locale's character classes, so results never depend on the process locale.
template <typename Char>
Char AsciiUpper(Char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <typename Char>
std::basic_string<Char> UpperCopy(const std::basic_string<Char>& s) {
  std::basic_string<Char> result(s);
  for (Char& c : result) c = AsciiUpper(c);
  return result;
}

// The first attempt fits most texts; larger ones retry in doubling buffers up to a bound, as the wide
// formatter reports only failure, not the size it needs.
constexpr size_t kFirstBuffer = 160;
constexpr size_t kLargestBuffer = 1310720;

}  // namespace

void NarrowRet(const std::wstring& wide, std::string& out) {
  out.clear();
  out.reserve(wide.size());
  for (wchar_t c : wide) {
    if (static_cast<uint32_t>(c) > 0xFF) {
      out.clear();
      return;
    }
    out.push_back(static_cast<char>(c));
  }
}

std::string Narrow(const std::wstring& wide) {
  std::string out;
  NarrowRet(wide, out);
  return out;
}

void WidenRet(const std::string& narrow, std::wstring& out) {
  out.clear();
  out.reserve(narrow.size());
  for (char c : narrow) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}

std::wstring Widen(const std::string& narrow) {
  std::wstring out;
  WidenRet(narrow, out);
  return out;
}

std::string ToUpper(const std::string& s) { return UpperCopy(s); }

std::wstring ToUpperW(const std::wstring& s) { return UpperCopy(s); }

std::string TrimSpace(const std::string& s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && IsSpace(s[first])) ++first;
  while (last > first && IsSpace(s[last - 1])) --last;
  return s.substr(first, last - first);
}

std::string VFormatString(const char* format, va_list args) {
  char first[kFirstBuffer];
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(first, sizeof first, format, args);
  std::string result;
  if (length >= 0 && static_cast<size_t>(length) < sizeof first) {
    result.assign(first, length);
  } else if (length >= 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    vsnprintf(buffer.data(), buffer.size(), format, again);
    result.assign(buffer.data(), length);
  }
  va_end(again);
  return result;
}

std::wstring VFormatWString(const wchar_t* format, va_list args) {
  std::vector<wchar_t> buffer;
  for (size_t size = kFirstBuffer; size <= kLargestBuffer; size *= 2) {
    buffer.resize(size);
    va_list attempt;
    va_copy(attempt, args);
    int length = vswprintf(buffer.data(), size, format, attempt);
    va_end(attempt);
    if (length >= 0) return std::wstring(buffer.data(), length);
  }
  return std::wstring();
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = VFormatString(format, args);
  va_end(args);
  return result;
}

std::wstring FormatWString(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring result = VFormatWString(format, args);
  va_end(args);
  return result;
}

std::wstring CommaSeparate(int value) {
  // Work on the magnitude as unsigned so that INT_MIN has one too.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  std::wstring reversed;
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) reversed.push_back(L',');
    reversed.push_back(static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
    ++digits;
  } while (magnitude != 0);
  if (value < 0) reversed.push_back(L'-');
  return std::wstring(reversed.rbegin(), reversed.rend());
}

int FindNoCase(const char* haystack, const char* needle) {
  if (haystack[0] == '\0') return -1;
  for (int start = 0; haystack[start] != '\0'; ++start) {
    int i = 0;
    while (needle[i] != '\0' && AsciiLower(haystack[start + i]) == AsciiLower(needle[i])) ++i;
    if (needle[i] == '\0') return start;
  }
  return -1;
}

}  // namespace Velk
