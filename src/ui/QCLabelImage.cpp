#include "ui/QCLabelImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "app/VelkAppBase.h"
#include "graphics/MemoryImage.h"

namespace {

std::atomic<uint64_t> gRenders{0};

// The text is drawn on the screen, so the screen's side bounds the image's: a size from a damaged
// ui.xml cannot ask for gigabytes. Named in the log unless `quiet`.
int ScreenBound(int length, int screen, const char* side, bool quiet) {
  if (length <= screen) return std::max(length, 0);
  if (!quiet) std::fprintf(stderr, "label image: %s %d cut to the screen's %d\n", side, length, screen);
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
  const int screenWidth = app != nullptr ? app->mWidth : kDefaultScreenWidth;
  const int screenHeight = app != nullptr ? app->mHeight : kDefaultScreenHeight;
  // Drawn every frame: a label that is too large is named once.
  const bool quiet = mCutLogged;
  mCutLogged = mCutLogged || width > screenWidth || height > screenHeight;
  width = ScreenBound(width, screenWidth, "width", quiet);
  height = ScreenBound(height, screenHeight, "height", quiet);
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
