#include "app/AppFontHost.h"

#include "app/VelkAppBase.h"
#include "graphics/DDImage.h"
#include "graphics/MemoryImage.h"

namespace Velk {

void AppFontHost::PopupError(const std::wstring& text) { mApp.PopupError(text); }

std::shared_ptr<Image> AppFontHost::GetSharedImage(const std::string& fileName, const std::string& variant,
                                                   bool* isNew) {
  auto* handle = new SharedImageHandle(mApp.GetSharedImage(fileName, variant, isNew));
  MemoryImage* image = handle->GetImage();
  if (!image) {
    delete handle;
    return nullptr;
  }
  return std::shared_ptr<Image>(image, [handle](Image*) { delete handle; });
}

Image* AppFontHost::DuplicateImage(Image* image) { return mApp.DuplicateImage(image); }

HWND AppFontHost::GetMainWindow() { return mApp.mHWnd; }

}  // namespace Velk
