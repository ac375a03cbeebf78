#include "scene/LevelLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

std::mutex gLock;
std::function<void(const std::string&)> gListener;

}  // namespace

void LevelLog(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "%s\n", line);
  std::lock_guard<std::mutex> hold(gLock);
  if (gListener) gListener(line);
}

void SetLevelLogListener(std::function<void(const std::string&)> listener) {
  std::lock_guard<std::mutex> hold(gLock);
  gListener = std::move(listener);
}
