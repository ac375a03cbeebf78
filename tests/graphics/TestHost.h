#pragma once
// A stand-in application for the images: records registrations, holds a 32-bit display format and
// the additive saturation table.
#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/MemoryImageHost.h"
#include "graphics/NativeDisplay.h"

namespace Velk::Testing {

class TestHost : public MemoryImageHost {
 public:
  std::set<MemoryImage*> mLive;
  std::vector<MemoryImage*> mReleased;
  bool m3D = false;
  bool mHasDisplay = true;
  bool mReadBackOk = true;
  uint32_t mTexturePixel = 0xFF112233;
  NativeDisplay mDisplay;
  uint8_t mSat[512];

  TestHost() {
    mDisplay.mBitsPerPixel = 32;
    mDisplay.mRedMask = 0xFF0000;
    mDisplay.mGreenMask = 0xFF00;
    mDisplay.mBlueMask = 0xFF;
    mDisplay.mRedBits = mDisplay.mGreenBits = mDisplay.mBlueBits = 8;
    mDisplay.mRedShift = 16;
    mDisplay.mGreenShift = 8;
    mDisplay.mBlueShift = 0;
    for (int i = 0; i < 512; ++i) mSat[i] = static_cast<uint8_t>(std::min(i, 255));
  }

  void RegisterMemoryImage(MemoryImage* image) override { mLive.insert(image); }
  void UnregisterMemoryImage(MemoryImage* image) override { mLive.erase(image); }
  void ReleaseImageTextures(MemoryImage* image) override { mReleased.push_back(image); }
  bool ReadBackTextures(MemoryImage* image, uint32_t* bits) override {
    if (!mReadBackOk) return false;
    std::fill(bits, bits + image->mWidth * image->mHeight, mTexturePixel);
    return true;
  }
  bool Is3DModeOn() override { return m3D; }
  NativeDisplay* GetNativeDisplay() override { return mHasDisplay ? &mDisplay : nullptr; }
  const uint8_t* GetSaturationTable() override { return mSat; }
};

// A memory image on the test host filled with the given pixels, row by row.
inline void Fill(MemoryImage& image, int w, int h, std::vector<uint32_t> pixels) {
  image.SetPixels(pixels.data(), w, h, true);
}

inline uint32_t Px(MemoryImage& image, int x, int y) { return image.GetArgbBits()[y * image.mWidth + x]; }

}  // namespace Velk::Testing
