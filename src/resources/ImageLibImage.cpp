#include "resources/ImageLibImage.h"

namespace ImageLib {

std::unique_ptr<Image> Image::Create(int width, int height) {
  if (!SizeAllowed(width, height)) return nullptr;
  auto image = std::make_unique<Image>();
  image->mWidth = width;
  image->mHeight = height;
  image->mBits = std::make_unique<uint32_t[]>(size_t(width) * size_t(height) + 1);
  return image;
}

}  // namespace ImageLib
