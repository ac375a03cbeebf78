#pragma once
// The developer's picture of image memory: an HTML table of every live image, largest first, with
// what each part of it costs, a thumbnail and the full picture beside the page.
#include <memory>
#include <string>
#include <vector>

namespace ImageLib {
class Image;
}

namespace Velk {

class MemoryImage;

struct ImageMemory {
  int bits = 0;
  int palettized = 0;
  int surface = 0;
  int texture = 0;
  int nativeAlpha = 0;
  int rlAlpha = 0;
  int rlAdditive = 0;
  int textureFormat = 0;
  int Total() const { return bits + palettized + surface + texture + nativeAlpha + rlAlpha + rlAdditive; }
};

class ImageDump {
 public:
  static ImageMemory MemoryOf(MemoryImage* image);
  // Writes folder + "imagelist.html" headed by timeText, and the pictures; folder ends in a separator.
  static bool Write(const std::string& folder, const std::vector<MemoryImage*>& images, const std::string& timeText);
  // A 64 x 64 copy sampled at the centres of the source's 64 x 64 grid; null for an empty source.
  static std::unique_ptr<ImageLib::Image> Thumbnail(const uint32_t* bits, int width, int height);
  // The image's pixels as a PNG file; false for an image without pixels.
  static bool WritePNG(MemoryImage* image, const std::string& path);
  // 0xAARRGGBB rows as a PNG file; false when there are none or the file cannot be written.
  static bool WritePNG(const uint32_t* bits, int width, int height, const std::string& path);

 private:
  static std::string Row(int index, MemoryImage* image, const ImageMemory& memory);
  static void WritePictures(int index, MemoryImage* image, const std::string& folder);
};

}  // namespace Velk
