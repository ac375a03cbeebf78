#pragma once
// Ogg Vorbis files: VBR quality 0.2, one logical stream whose serial number the caller fixes, so
// the same samples always give the same bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

class OggWriter {
 public:
  // Interleaved 16-bit samples of one or two channels.
  static bool Write(const std::vector<int16_t>& samples, int channels, long rate, uint32_t serial,
                    std::vector<uint8_t>& out, std::string& error);
  // A stream serial number from a file name.
  static uint32_t Serial(const std::string& fileName);
};

}  // namespace Content
