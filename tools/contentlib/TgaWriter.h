#pragma once
// TGA: 18-byte header, uncompressed true colour (type 2), 32 bits, descriptor 0x28 (8 alpha bits,
// top-left origin), BGRA rows from the top.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class TgaWriter {
 public:
  static bool Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error);
};

}  // namespace Content
