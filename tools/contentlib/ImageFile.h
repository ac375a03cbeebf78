#pragma once
// Encodes a picture in the format its file name's extension names (.png .jpg .gif .tga .jp2).
// PNG and TGA keep the alpha; JPEG and JPEG 2000 are drawn over white; a GIF is over white too
// except where the picture is mostly see-through, which becomes its transparent index. A ".jpg"
// whose name starts with '_' is an alpha companion: the greyscale of the picture's alpha.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class ImageFile {
 public:
  static bool Encode(const std::string& fileName, const Picture& picture, std::vector<uint8_t>& out,
                     std::string& error);
  static bool KnownExtension(const std::string& fileName);
  // Only PNG and TGA keep an alpha channel.
  static bool KeepsAlpha(const std::string& fileName);
};

}  // namespace Content
