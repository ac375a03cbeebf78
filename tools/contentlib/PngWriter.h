#pragma once
// PNG: RGBA 8-bit, no interlace, compression level 9 with run-length matching, no time chunk (same
// pixels, same bytes).

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class PngWriter {
 public:
  static bool Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error);
};

}  // namespace Content
