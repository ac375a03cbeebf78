#pragma once
#include <cstdint>

namespace Velk {

class MemoryImage;
class NativeDisplay;

// What a memory image needs of the application that owns it: the set of live images, the display's
// pixel format, the renderer's textures and the additive saturation table. The application object
// implements it.
class MemoryImageHost {
 public:
  virtual ~MemoryImageHost() = default;

  virtual void RegisterMemoryImage(MemoryImage* image) = 0;
  virtual void UnregisterMemoryImage(MemoryImage* image) = 0;
  virtual void ReleaseImageTextures(MemoryImage* image) = 0;
  // Reads the renderer's textures of the image back into bits (width x height words); false on failure.
  virtual bool ReadBackTextures(MemoryImage* image, uint32_t* bits) = 0;
  // Whether the image's textures give its pixels (bits, or colour table and indices) back exactly;
  // this one reads them back and compares.
  virtual bool TexturesHoldPixels(MemoryImage* image);
  virtual bool Is3DModeOn() = 0;
  // Null while no display exists.
  virtual NativeDisplay* GetNativeDisplay() = 0;
  // 512 entries: i below 256 gives i, the rest 255.
  virtual const uint8_t* GetSaturationTable() = 0;

  // The host that images made without one are built on (the application sets itself here).
  static MemoryImageHost* GetDefault();
  static void SetDefault(MemoryImageHost* host);
};

}  // namespace Velk
