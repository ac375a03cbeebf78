#pragma once
#include <string>

#include "graphics/SharedImageHandle.h"

namespace Velk {

class SoundManager;

// What the resource manager needs of the application that owns it: the shared-image cache, the
// sound manager and the display mode. The application object implements it.
class ResourceManagerHost {
 public:
  virtual ~ResourceManagerHost() = default;

  // The cached image of (path, variant), loaded on first request; isNew (when given) tells whether
  // this call loaded it. The handle holds no image when the file cannot be read.
  virtual SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) = 0;
  // Null while no sound manager exists.
  virtual SoundManager* GetSoundManager() = 0;
  virtual bool Is3DModeOn() = 0;
};

}  // namespace Velk
