#include "platform/metrics/ScreenSaver.h"

#include "platform/backend/Backend.h"

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
  return Backend::Get().QueryScreenSaver();
}

void ScreenSaver::Inject(std::optional<ScreenSaverState> state) {
  std::lock_guard lock(gMutex);
  gInjected = state;
}

}  // namespace Velk
