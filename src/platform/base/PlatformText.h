#pragma once
// Text conversions at the edge of the platform layer: SDL speaks UTF-8, the program speaks Latin-1
// bytes (narrow) and UTF-16 code units (wide, one unit per wchar_t).

#include <string>
#include <string_view>

namespace Velk::PlatformText {

// Malformed UTF-8 becomes U+FFFD; characters beyond the basic plane become surrogate pairs.
std::wstring Utf8ToUtf16(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::wstring_view utf16);
std::wstring Latin1ToUtf16(std::string_view latin1);
// Characters outside Latin-1 become '?', as a code-page conversion would give.
std::string Utf16ToLatin1(std::wstring_view utf16);
// Names that compare without case (classes, registered messages) fold only A-Z.
std::wstring LowerAscii(std::wstring s);

}  // namespace Velk::PlatformText
