#pragma once
// A headless display whose renderer is the real Direct3D renderer on the software device, with an
// application stand-in that hands texture release and read-back to it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DisplayTestKit.h"
#include "graphics/D3DInterface.h"
#include "graphics/ImageTextureSet.h"
#include "graphics/MemoryImage.h"
#include "platform/d3d/D3DSettings.h"

namespace Velk::Testing {

class D3DHost : public FakeDisplayHost {
 public:
  // The application forgets a dying image's textures.
  void UnregisterMemoryImage(MemoryImage* image) override { ReleaseImageTextures(image); }
  void ReleaseImageTextures(MemoryImage* image) override {
    if (mDisplay) mDisplay->ForgetImageTextures(image);
  }
  bool ReadBackTextures(MemoryImage* image, uint32_t* bits) override {
    auto* renderer = mDisplay ? dynamic_cast<D3DInterface*>(mDisplay->mRenderer.get()) : nullptr;
    return renderer && renderer->ReadBackImage(image, bits);
  }
};

class D3DTest : public ::testing::Test {
 protected:
  D3DHost mHost;
  std::unique_ptr<DDInterface> mDisplay;
  D3DInterface* mD3D = nullptr;
  std::vector<std::pair<std::string, std::string>> mRegistry;

  void SetUp() override {
    Backend::Install(std::make_unique<HeadlessBackend>());
    DDrawSettings::Reset();
    D3DSettings::Reset();
  }
  void TearDown() override {
    mDisplay.reset();
    mHost.mDisplay = nullptr;
    DDrawSettings::Reset();
    D3DSettings::Reset();
  }

  // A windowed 32-bit display drawing through the renderer; the device is configured beforehand.
  void Start(int width = 64, int height = 48) {
    DDrawSettings::Get().desktopBits = 32;
    mHost.mWidth = width;
    mHost.mHeight = height;
    auto renderer = std::make_unique<D3DInterface>();
    mD3D = renderer.get();
    mD3D->mWriteRegistryString = [this](const std::string& name, const std::string& value) {
      mRegistry.emplace_back(name, value);
    };
    mDisplay = std::make_unique<DDInterface>(&mHost, std::move(renderer));
    mHost.mDisplay = mDisplay.get();
    mHost.m3DMode = true;
    ASSERT_EQ(mDisplay->Init(nullptr, true), DDInterface::RESULT_OK) << mDisplay->mErrorString;
    ASSERT_TRUE(mDisplay->mIs3D);
  }

  uint32_t Pixel(int x, int y) { return DisplayTest::SurfacePixel(mDisplay->mDrawSurface, x, y) & 0xFFFFFF; }

  std::unique_ptr<MemoryImage> Image(int w, int h, uint32_t (*pixel)(int x, int y)) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bits[static_cast<size_t>(y) * w + x] = pixel(x, y);
    auto image = std::make_unique<MemoryImage>(&mHost);
    image->SetPixels(bits.data(), w, h, true);
    return image;
  }
};

}  // namespace Velk::Testing
