#pragma once
// Narrow strings hold bytes (Latin-1 stands for the system code page); wide strings hold one UTF-16
// code unit per wchar_t. Every helper returns a new string and leaves its argument unchanged. Case
// mapping and white-space tests are byte-exact (the C locale's rules), never locale-dependent.

#include <cstdarg>
#include <string>

namespace Velk {

// Each unit U+0000-U+00FF becomes its byte; a string holding any other unit cannot be represented and
// yields the empty string.
std::string Narrow(const std::wstring& wide);
void NarrowRet(const std::wstring& wide, std::string& out);

// Each byte zero-extended to one wide character (no code-page conversion).
std::wstring Widen(const std::string& narrow);
void WidenRet(const std::string& narrow, std::wstring& out);

std::string ToUpper(const std::string& s);
std::wstring ToUpperW(const std::wstring& s);
std::string TrimSpace(const std::string& s);

// printf-style formatting into a string of any length. Wide formats take "%ls" for wide strings. A
// wide result is bounded at 1,310,720 characters; a longer one, like a format error, gives "".
// A narrow format cannot take "%ls" with text beyond ASCII (the C library cannot convert it and the
// result is ""); narrow such text with Narrow first.
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::wstring FormatWString(const wchar_t* format, ...);
std::string VFormatString(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
std::wstring VFormatWString(const wchar_t* format, va_list args);

// Decimal digits grouped by ',' in threes from the right: 1234567 -> "1,234,567".
std::wstring CommaSeparate(int value);

// Index of the first case-insensitive occurrence of needle in haystack; -1 when there is none or the
// haystack is empty; 0 for an empty needle in a non-empty haystack.
int FindNoCase(const char* haystack, const char* needle);

}  // namespace Velk
