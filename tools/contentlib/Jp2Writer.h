#pragma once
// JPEG 2000 in a JP2 container: lossless (reversible transform, one layer), three 8-bit components.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class Jp2Writer {
 public:
  static bool Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error);
};

}  // namespace Content
