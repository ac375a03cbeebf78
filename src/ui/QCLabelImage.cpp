#include "ui/QCLabelImage.h"

#include <atomic>

#include "graphics/MemoryImage.h"

namespace {

std::atomic<uint64_t> gRenders{0};

}  // namespace

QCLabelImage::~QCLabelImage() { Drop(); }

void QCLabelImage::Drop() {
  delete mImage;
  mImage = nullptr;
  mValid = false;
}

bool QCLabelImage::BeginRender(int width, int height) {
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
