#pragma once
// RIFF WAVE files: PCM ("fmt " tag 1), 16-bit samples (so the data chunk never needs a pad byte).

#include <cstdint>
#include <vector>

namespace Content {

class WavWriter {
 public:
  // Interleaved samples of the given channel count.
  static std::vector<uint8_t> Write(const std::vector<int16_t>& samples, int channels, uint32_t rate);
};

}  // namespace Content
