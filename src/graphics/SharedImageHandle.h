#pragma once
#include "graphics/SharedImage.h"

namespace Velk {

class MemoryImage;

// A reference to a shared image, or a private image of the handle's own that it may own. A copy
// shares the record but never owns the private image.
class SharedImageHandle {
 public:
  SharedImageHandle() = default;
  explicit SharedImageHandle(SharedImage* shared);
  SharedImageHandle(const SharedImageHandle& other);
  ~SharedImageHandle();

  SharedImageHandle& operator=(const SharedImageHandle& other);
  // Null gives an empty handle.
  SharedImageHandle& operator=(SharedImage* shared);
  // Holds the image as its own: deleted on release.
  SharedImageHandle& operator=(MemoryImage* image);

  void Release();
  MemoryImage* GetSharedImage() const;
  MemoryImage* GetImage() const;

 private:
  void Hold(SharedImage* shared);

  SharedImage* mSharedImage = nullptr;
  MemoryImage* mUnsharedImage = nullptr;
  bool mOwnsUnshared = false;
};

}  // namespace Velk
