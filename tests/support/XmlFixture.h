#pragma once
// Data files as the game stores them, from readable UTF-8 in the tests: UTF-16LE text behind a
// byte-order mark.

#include <string>

#include "common/Unicode.h"

inline std::string Utf16File(const std::string& utf8) {
  return std::string("\xFF\xFE", 2) + Velk::WideToUtf16LE(Velk::Utf8ToWide(utf8));
}
