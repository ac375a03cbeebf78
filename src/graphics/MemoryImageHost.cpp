#include "graphics/MemoryImageHost.h"

#include <atomic>

namespace Velk {

static std::atomic<MemoryImageHost*> sDefaultHost{nullptr};

MemoryImageHost* MemoryImageHost::GetDefault() { return sDefaultHost.load(); }

void MemoryImageHost::SetDefault(MemoryImageHost* host) { sDefaultHost.store(host); }

}  // namespace Velk
