#pragma once
// A stand-in application for the resource manager: a shared-image cache over the image loader, a
// mocked sound manager, and builders of manifests and small TGA files in a scratch folder.

#include <gmock/gmock.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PakTestSupport.h"
#include "common/StringUtil.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "resources/ImageLib.h"
#include "resources/ResourceManagerHost.h"
#include "sound/SoundManager.h"

namespace ResourceManagerTest {

class MockSoundManager : public Velk::SoundManager {
 public:
  MOCK_METHOD(bool, IsInitialized, (), (override));
  MOCK_METHOD(int, LoadSound, (const std::string&), (override));
  MOCK_METHOD(bool, LoadSoundAt, (int, const std::string&), (override));
  MOCK_METHOD(void, ReleaseSound, (int), (override));
  MOCK_METHOD(void, SetVolume, (double), (override));
  MOCK_METHOD(bool, SetBaseVolume, (int, double), (override));
  MOCK_METHOD(bool, SetBasePan, (int, int), (override));
  MOCK_METHOD(Velk::SoundInstance*, GetSoundInstance, (int), (override));
  MOCK_METHOD(void, ReleaseSounds, (), (override));
  MOCK_METHOD(void, ReleaseChannels, (), (override));
  MOCK_METHOD(double, GetMasterVolume, (), (override));
  MOCK_METHOD(void, SetMasterVolume, (double), (override));
  MOCK_METHOD(void, Flush, (), (override));
  MOCK_METHOD(void, SetCooperativeLevel, (HWND, bool), (override));
  MOCK_METHOD(void, StopAllSounds, (), (override));
  MOCK_METHOD(int, GetFreeSoundId, (), (override));
  MOCK_METHOD(int, GetNumSounds, (), (override));
};

class TestHost : public Velk::ResourceManagerHost {
 public:
  struct Entry {
    Velk::SharedImage shared;
    std::unique_ptr<Velk::MemoryImage> image;
  };

  std::map<std::string, std::unique_ptr<Entry>> mImages;
  std::vector<std::string> mRequests;      // path of every request, in order
  std::vector<uint32_t> mAlphaColorsSeen;  // the decoder's alpha colour during each request
  testing::NiceMock<MockSoundManager> mSounds;
  bool m3D = false;
  // Makes the image a decoded file goes into; a plain memory image unless a test sets it.
  std::function<std::unique_ptr<Velk::MemoryImage>()> mMakeImage = [] {
    return std::make_unique<Velk::MemoryImage>(nullptr);
  };

  Velk::SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) override {
    mRequests.push_back(path);
    mAlphaColorsSeen.push_back(ImageLib::gAlphaColor);
    auto& entry = mImages[Velk::ToUpper(path) + "|" + Velk::ToUpper(variant)];
    if (isNew) *isNew = !entry;
    if (!entry) {
      entry = std::make_unique<Entry>();
      if (std::unique_ptr<ImageLib::Image> decoded{LoadImageByExtension(path, true)}) {
        entry->image = mMakeImage();
        entry->image->SetPixels(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), true);
      }
      entry->shared.mImage = entry->image.get();
    }
    return Velk::SharedImageHandle(&entry->shared);
  }
  Velk::SoundManager* GetSoundManager() override { return &mSounds; }
  bool Is3DModeOn() override { return m3D; }
};

// A top-down 32-bit TGA of w x h 0xAARRGGBB pixels.
inline std::vector<uint8_t> TgaBytes(int w, int h, const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int v : {w, h}) {
    bytes.push_back(uint8_t(v));
    bytes.push_back(uint8_t(v >> 8));
  }
  bytes.push_back(32);
  bytes.push_back(0x28);
  for (uint32_t p : pixels)
    for (int shift : {0, 8, 16, 24}) bytes.push_back(uint8_t(p >> shift));
  return bytes;
}

inline void WriteTga(const std::string& path, int w, int h, const std::vector<uint32_t>& pixels) {
  WriteBytes(path, TgaBytes(w, h, pixels));
}

// UTF-16LE with a byte-order mark, as font descriptors are stored.
inline std::vector<uint8_t> Utf16Bytes(const std::string& ascii) {
  std::vector<uint8_t> bytes{0xFF, 0xFE};
  for (char c : ascii) {
    bytes.push_back(uint8_t(c));
    bytes.push_back(0);
  }
  return bytes;
}

inline void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace ResourceManagerTest
