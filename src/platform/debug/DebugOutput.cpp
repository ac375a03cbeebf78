#include "platform/debug/DebugOutput.h"

#include <cstdio>

void OutputDebugStringA(const char* text) {
  if (text == nullptr) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}
