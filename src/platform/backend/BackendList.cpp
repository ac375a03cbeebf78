// The back ends, one row each. Adding one is a folder of its own and a row here.

#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sdl/SdlBackend.h"

namespace Velk {

namespace {

template <class Kind>
std::unique_ptr<Backend> Make() {
  return std::make_unique<Kind>();
}

constexpr BackendRow kRows[] = {
    {"sdl", &Make<SdlBackend>},
    {"headless", &Make<HeadlessBackend>},
};

}  // namespace

std::span<const BackendRow> BackendRows() { return kRows; }

}  // namespace Velk
