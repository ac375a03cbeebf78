#pragma once
// Reads a PNG file held in memory back into a picture: what the validator needs to look at the
// pixels under a text.

#include <cstdint>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class PngReader {
 public:
  // False for bytes that are no PNG the library can read whole.
  static bool Read(const std::vector<uint8_t>& bytes, Picture& out);
};

}  // namespace Content
