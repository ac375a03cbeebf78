#pragma once
// Ogg Vorbis files, decoded whole to 16-bit PCM at the stream's own rate and channel count.

#include "platform/audio/PcmSound.h"
#include "platform/audio/SoundSource.h"

#include <optional>

namespace Velk {

class OggFile {
 public:
  // Null for a stream that does not open, has no known length, is not mono or stereo, or ends early.
  static std::optional<PcmSound> Read(SoundSource& source);
};

}  // namespace Velk
