#pragma once
// MPEG audio (MP3) files, decoded whole to 16-bit PCM at the stream's own rate and channel count.

#include "platform/audio/PcmSound.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace Velk {

class Mp3File {
 public:
  // Null when no frame decodes, the stream changes its format, is not mono or stereo, or decodes to
  // more than a sound buffer holds.
  static std::optional<PcmSound> Read(const uint8_t* data, size_t size);
};

}  // namespace Velk
