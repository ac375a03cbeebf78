#include "fonts/ActiveFontLayer.h"

#include <utility>

#include "fonts/FontData.h"
#include "fonts/FontHost.h"
#include "fonts/FontLayer.h"
#include "graphics/MemoryImage.h"

namespace Velk {

namespace {

Image* DuplicateOwned(const ActiveFontLayer& layer) {
  FontHost* host = layer.mBaseFontLayer ? layer.mBaseFontLayer->mFontData->mApp : nullptr;
  if (host) return host->DuplicateImage(layer.mScaledImage);
  // Without an application the scaled images are plain memory images.
  return new MemoryImage(*static_cast<MemoryImage*>(layer.mScaledImage));
}

}  // namespace

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : mBaseFontLayer(other.mBaseFontLayer),
      mScaledImage(other.mOwnsImage && other.mScaledImage ? DuplicateOwned(other) : other.mScaledImage),
      mOwnsImage(other.mOwnsImage),
      mScaledCharImageRects(other.mScaledCharImageRects) {}

ActiveFontLayer::ActiveFontLayer(ActiveFontLayer&& other) noexcept
    : mBaseFontLayer(other.mBaseFontLayer),
      mScaledImage(std::exchange(other.mScaledImage, nullptr)),
      mOwnsImage(std::exchange(other.mOwnsImage, false)),
      mScaledCharImageRects(std::move(other.mScaledCharImageRects)) {}

ActiveFontLayer::~ActiveFontLayer() {
  if (mOwnsImage) delete mScaledImage;
}

Rect ActiveFontLayer::ScaledRect(wchar_t c) const {
  auto it = mScaledCharImageRects.find(c);
  return it == mScaledCharImageRects.end() ? Rect() : it->second;
}

}  // namespace Velk
