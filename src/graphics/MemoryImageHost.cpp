#include "graphics/MemoryImageHost.h"

#include <atomic>
#include <vector>

#include "graphics/MemoryImage.h"

namespace Velk {

static std::atomic<MemoryImageHost*> sDefaultHost{nullptr};

MemoryImageHost* MemoryImageHost::GetDefault() { return sDefaultHost.load(); }

void MemoryImageHost::SetDefault(MemoryImageHost* host) { sDefaultHost.store(host); }

bool MemoryImageHost::TexturesHoldPixels(MemoryImage* image) {
  const size_t n = static_cast<size_t>(image->mWidth) * static_cast<size_t>(image->mHeight);
  std::vector<uint32_t> back(n);
  if (!ReadBackTextures(image, back.data())) return false;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t pixel = image->mBits ? image->mBits[i] : image->mColorTable[image->mColorIndices[i]];
    if (back[i] != pixel) return false;
  }
  return true;
}

}  // namespace Velk
