#include "fonts/FontHost.h"

#include <atomic>

namespace Velk {

namespace {

std::atomic<FontHost*> gDefaultHost{nullptr};

}  // namespace

FontHost* FontHost::GetDefault() { return gDefaultHost.load(); }

void FontHost::SetDefault(FontHost* host) { gDefaultHost.store(host); }

}  // namespace Velk
