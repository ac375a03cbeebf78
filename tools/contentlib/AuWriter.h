#pragma once
// Sun audio (".snd") files: 24-byte big-endian header, then 8-bit µ-law (encoding 1, G.711) or
// 8-bit linear (encoding 2) samples. The game reads no other encoding, so none other is written.

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

class AuWriter {
 public:
  static constexpr uint32_t kMuLaw = 1;
  static constexpr uint32_t kLinear8 = 2;

  // False for an encoding other than 1 or 2.
  static bool Write(const std::vector<int16_t>& samples, int channels, uint32_t rate, uint32_t encoding,
                    std::vector<uint8_t>& out, std::string& error);
  static uint8_t MuLaw(int16_t sample);
};

}  // namespace Content
