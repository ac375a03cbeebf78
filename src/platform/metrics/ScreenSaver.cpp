#include "platform/metrics/ScreenSaver.h"

#include "platform/backend/Backend.h"
#include "platform/sdl/XScreenSaver.h"

#include <cstring>
#include <mutex>

namespace Velk {

namespace {

std::mutex gMutex;
std::optional<ScreenSaverState> gInjected;

}  // namespace

std::optional<ScreenSaverState> ScreenSaver::Query() {
  {
    std::lock_guard lock(gMutex);
    if (gInjected) return gInjected;
  }
  if (std::strcmp(Backend::Get().Name(), "sdl") != 0) return std::nullopt;
  return XScreenSaver::Query();
}

void ScreenSaver::Inject(std::optional<ScreenSaverState> state) {
  std::lock_guard lock(gMutex);
  gInjected = state;
}

}  // namespace Velk
