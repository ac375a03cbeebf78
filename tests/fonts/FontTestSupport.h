#pragma once
// An application for fonts: records error boxes and image requests and serves images from a table.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Unicode.h"
#include "fonts/FontHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/TestHost.h"
#include "platform/ScratchFolder.h"

namespace Velk::Testing {

class FakeFontHost : public FontHost {
 public:
  std::vector<std::wstring> mPopups;
  std::vector<std::string> mRequests;
  std::map<std::string, std::shared_ptr<Image>> mImages;
  int mDuplicates = 0;

  void PopupError(const std::wstring& text) override { mPopups.push_back(text); }
  std::shared_ptr<Image> GetSharedImage(const std::string& fileName, const std::string& variant, bool* isNew) override {
    mRequests.push_back(fileName + (variant.empty() ? "" : "|" + variant));
    auto it = mImages.find(fileName);
    if (it == mImages.end()) return nullptr;
    if (isNew) *isNew = it->second.use_count() == 1;
    return it->second;
  }
  Image* DuplicateImage(Image* image) override {
    ++mDuplicates;
    return new MemoryImage(*static_cast<MemoryImage*>(image));
  }
  HWND GetMainWindow() override { return nullptr; }

  // A w x h image whose pixels are all the given colour.
  MemoryImage* AddImage(const std::string& name, int w, int h, uint32_t pixel) {
    auto image = std::make_shared<MemoryImage>();
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, pixel);
    image->SetPixels(pixels.data(), w, h, true);
    mImages[name] = image;
    return image.get();
  }
};

// Images need an application; fonts get one of their own.
class FontTest : public ::testing::Test {
 protected:
  FontTest() { MemoryImageHost::SetDefault(&mImageHost); }
  ~FontTest() override { MemoryImageHost::SetDefault(nullptr); }

  // Writes a descriptor as the game stores them: 16-bit little-endian text.
  std::string Descriptor(const std::string& name, const std::wstring& text) {
    mFolder.Write(name, WideToUtf16LE(text));
    return mFolder / name;
  }

  TestHost mImageHost;
  FakeFontHost mHost;
  ScratchFolder mFolder;
};

}  // namespace Velk::Testing
