// The back ends, one row each. Adding one is a folder of its own and a row here.

#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sdl/SdlBackend.h"

#include <cstdlib>

namespace Velk {

namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

bool Anywhere() { return true; }

template <class Kind>
std::unique_ptr<Backend> Make() {
  return std::make_unique<Kind>();
}

constexpr BackendRow kRows[] = {
    {"sdl", &HasDisplay, &Make<SdlBackend>},
    {"headless", &Anywhere, &Make<HeadlessBackend>},
};

}  // namespace

std::span<const BackendRow> BackendRows() { return kRows; }

}  // namespace Velk
