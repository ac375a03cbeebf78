#pragma once
// GIF89a with one global palette of the colours used (at most 256, one of them the transparent
// index when a pixel's alpha is below half), LZW with minimum code size 8, no interlace.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class GifWriter {
 public:
  static bool Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error);

  // The LZW data of the indices (minimum code size 8), without the sub-block framing.
  static std::vector<uint8_t> Compress(const std::vector<uint8_t>& indices);
};

}  // namespace Content
