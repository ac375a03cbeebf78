#pragma once
// Conversions between wide strings (one UTF-16 code unit per wchar_t) and the external encodings:
// UTF-8 (SDL text, XML, FreeType) and UTF-16LE bytes (files). Malformed input never fails: each bad
// sequence becomes U+FFFD, so a conversion always yields something printable.

#include <cstddef>
#include <cstdint>
#include <string>

namespace Velk {

std::wstring Utf8ToWide(const std::string& utf8);
// Surrogate pairs are joined into one code point; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& wide);

// Two bytes per unit, low byte first; a trailing odd byte is ignored.
std::wstring Utf16LEToWide(const uint8_t* bytes, size_t count);
std::string WideToUtf16LE(const std::wstring& wide);

}  // namespace Velk
