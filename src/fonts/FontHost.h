#pragma once
#include <memory>
#include <string>

#include "platform/base/WinTypes.h"

namespace Velk {

class Image;

// What fonts need of the application: its error box, its cache of shared images, image copies and
// the main window that measuring borrows. The application object implements it.
class FontHost {
 public:
  virtual ~FontHost() = default;

  // Shows the text in an error box and returns; may be called on the loading thread.
  virtual void PopupError(const std::wstring& text) = 0;
  // The cached image of the file and variant, loaded on first request (then *isNew is set); null
  // when the file cannot be loaded. isNew may be null.
  virtual std::shared_ptr<Image> GetSharedImage(const std::string& fileName, const std::string& variant,
                                                bool* isNew) = 0;
  // A new display image holding a copy of the whole image; the caller owns it.
  virtual Image* DuplicateImage(Image* image) = 0;
  virtual HWND GetMainWindow() = 0;

  // The application that fonts made without one use (the application sets itself here).
  static FontHost* GetDefault();
  static void SetDefault(FontHost* host);
};

}  // namespace Velk
