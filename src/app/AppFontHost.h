#pragma once
// The application as the fonts see it. Fonts and the resource manager each ask for shared images
// in their own form, so the fonts reach the application through this small go-between.

#include "fonts/FontHost.h"

namespace Velk {

class VelkAppBase;

class AppFontHost : public FontHost {
 public:
  explicit AppFontHost(VelkAppBase& app) : mApp(app) {}

  void PopupError(const std::wstring& text) override;
  // The image lives as long as any copy of the pointer does.
  std::shared_ptr<Image> GetSharedImage(const std::string& fileName, const std::string& variant, bool* isNew) override;
  Image* DuplicateImage(Image* image) override;
  HWND GetMainWindow() override;

 private:
  VelkAppBase& mApp;
};

}  // namespace Velk
