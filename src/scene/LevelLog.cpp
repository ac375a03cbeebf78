#include "scene/LevelLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <set>

namespace {

std::mutex gLock;
std::function<void(const std::string&)> gListener;
std::set<std::string> gLoggedKeys;

void Emit(const char* format, va_list args) {
  char line[512];
  std::vsnprintf(line, sizeof line, format, args);
  std::fprintf(stderr, "%s\n", line);
  std::lock_guard<std::mutex> hold(gLock);
  if (gListener) gListener(line);
}

}  // namespace

void LevelLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Emit(format, args);
  va_end(args);
}

void LevelLogOnce(const std::string& key, const char* format, ...) {
  {
    std::lock_guard<std::mutex> hold(gLock);
    if (!gLoggedKeys.insert(key).second) return;
  }
  va_list args;
  va_start(args, format);
  Emit(format, args);
  va_end(args);
}

void SetLevelLogListener(std::function<void(const std::string&)> listener) {
  std::lock_guard<std::mutex> hold(gLock);
  gListener = std::move(listener);
}
