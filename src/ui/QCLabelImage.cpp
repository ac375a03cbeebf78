#include "ui/QCLabelImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "app/VelkAppBase.h"
#include "graphics/MemoryImage.h"

namespace {

std::atomic<uint64_t> gRenders{0};

// The text is drawn on the screen, so the screen's side bounds the image's: a size from a damaged
// ui.xml cannot ask for gigabytes.
int ScreenBound(int length, int screen, const char* side) {
  if (length <= screen) return std::max(length, 0);
  std::fprintf(stderr, "label image: %s %d cut to the screen's %d\n", side, length, screen);
  return screen;
}

}  // namespace

QCLabelImage::~QCLabelImage() { Drop(); }

void QCLabelImage::Drop() {
  delete mImage;
  mImage = nullptr;
  mValid = false;
}

bool QCLabelImage::BeginRender(int width, int height) {
  const Velk::VelkAppBase* app = Velk::gVelkApp;
  width = ScreenBound(width, app != nullptr ? app->mWidth : kDefaultScreenWidth, "width");
  height = ScreenBound(height, app != nullptr ? app->mHeight : kDefaultScreenHeight, "height");
  if (!mImage || mImage->GetWidth() != width || mImage->GetHeight() != height) {
    Drop();
    mImage = new Velk::MemoryImage();
    mImage->CreateBlank(width, height);
  }
  if (mValid) return false;
  mValid = true;
  mImage->ClearPixels();
  ++gRenders;
  return true;
}

uint64_t QCLabelImage::RenderCount() { return gRenders.load(); }
