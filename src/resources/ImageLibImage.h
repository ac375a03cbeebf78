#pragma once
// The decoders' common result: a plain 32-bit picture, 0xAARRGGBB pixels row by row from the top.

#include <cstdint>
#include <memory>

namespace ImageLib {

class Image {
 public:
  // Larger pictures are refused: a file's 16-bit size fields alone could ask for gigabytes.
  static constexpr int64_t kMaxPixels = int64_t(1) << 24;

  Image() = default;
  virtual ~Image() = default;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  static bool SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPixels;
  }

  // A zero-filled picture of the given size; null when a side is not positive or it is too large.
  // One spare word follows the pixels, so that a memory image can take them over whole and write
  // its end marker there.
  static std::unique_ptr<Image> Create(int width, int height);

  // Hands the pixels (and the spare word) over; the picture has none afterwards.
  std::unique_ptr<uint32_t[]> TakeBits() { return std::move(mBits); }

  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  uint32_t* GetBits() const { return mBits.get(); }
  uint32_t* Row(int y) const { return mBits.get() + int64_t(y) * mWidth; }
  int64_t PixelCount() const { return int64_t(mWidth) * mHeight; }

  // Public so that a caller can fill a picture of its own before handing it to a writer.
  int mWidth = 0;
  int mHeight = 0;
  std::unique_ptr<uint32_t[]> mBits;
};

}  // namespace ImageLib
