#pragma once
// Names written for Windows ignore case; only ASCII letters are folded, so no locale is involved.

namespace Velk {

constexpr char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace Velk
