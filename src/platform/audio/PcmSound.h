#pragma once
// A decoded sound: interleaved PCM frames as a sound buffer takes them (8-bit unsigned or 16-bit
// signed little-endian).

#include <cstdint>
#include <vector>

namespace Velk {

struct PcmSound {
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  std::vector<uint8_t> data;

  uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * bits / 8); }
};

}  // namespace Velk
