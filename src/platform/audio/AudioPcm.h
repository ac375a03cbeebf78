#pragma once
// Sample data shared by every voice that plays it: interleaved frames of one or two channels,
// 8-bit unsigned or 16-bit signed little-endian, as sound files store them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Velk {

struct AudioPcm {
  int channels = 1;
  int bits = 16;
  std::vector<uint8_t> bytes;

  int BlockAlign() const { return channels * bits / 8; }
  size_t Frames() const { return BlockAlign() > 0 ? bytes.size() / BlockAlign() : 0; }
};

}  // namespace Velk
