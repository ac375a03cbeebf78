#pragma once
// A font application for tests that serves the images descriptors ask for from the archive layer
// (archives, or loose files in the current folder), decoding each once.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fonts/FontHost.h"
#include "graphics/MemoryImage.h"
#include "resources/ImageLib.h"

namespace Content {

// Serves every image the descriptors ask for from files, once each; records error boxes.
class DiskFontHost : public Velk::FontHost {
 public:
  std::vector<std::wstring> mPopups;

  void PopupError(const std::wstring& text) override { mPopups.push_back(text); }
  std::shared_ptr<Velk::Image> GetSharedImage(const std::string& fileName, const std::string&, bool* isNew) override {
    auto& image = mImages[fileName];
    if (isNew) *isNew = !image;
    if (!image) {
      std::unique_ptr<ImageLib::Image> decoded(LoadImageByExtension(fileName, true));
      if (!decoded) return nullptr;
      image = std::make_shared<Velk::MemoryImage>();
      image->SetPixels(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), true);
    }
    return image;
  }
  Velk::Image* DuplicateImage(Velk::Image* image) override {
    return new Velk::MemoryImage(*static_cast<Velk::MemoryImage*>(image));
  }
  HWND GetMainWindow() override { return nullptr; }

 private:
  std::map<std::string, std::shared_ptr<Velk::MemoryImage>> mImages;
};

}  // namespace Content
