#pragma once
// Strict number parsers: the whole text must be a number, nothing is skipped. Each returns whether the
// text was valid and writes the value through its out parameter (0 on failure, except as noted).

#include <cstdint>
#include <string>

namespace Velk {

// Decimal with an optional leading '-', or hexadecimal after a leading "0x" / "0X".
bool ParseInt(const std::string& text, int& out);
bool ParseIntW(const std::wstring& text, int& out);
// Decimal with an optional leading '-' and an optional fraction; no exponent.
bool ParseDoubleW(const std::wstring& text, double& out);
// Hexadecimal digits only, no prefix; the empty string is 0. On a bad digit the digits before it stay
// in out. Only the low 32 bits of the number are kept.
bool ParseHex(const std::string& text, uint32_t& out);

}  // namespace Velk
