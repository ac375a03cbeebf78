#pragma once
// JPEG: baseline, quality 85, 4:2:0, a JFIF header without thumbnail or comment. Colour pictures
// drop their alpha; an alpha companion ("_name.jpg") is the greyscale image of the alpha channel.

#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

class JpegWriter {
 public:
  static bool Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error);
  static bool WriteAlphaCompanion(const Picture& picture, std::vector<uint8_t>& out, std::string& error);

 private:
  static bool Encode(const Picture& picture, bool grey, std::vector<uint8_t>& out, std::string& error);
};

}  // namespace Content
