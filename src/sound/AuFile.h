#pragma once
// Sun audio (".snd") files: 8-bit µ-law, widened to 16 bits, or 8-bit linear,
// stored signed and turned into unsigned 8-bit PCM.

#include "platform/audio/PcmSound.h"
#include "platform/audio/SoundSource.h"

#include <cstdint>
#include <optional>

namespace Velk {

class AuFile {
 public:
  static std::optional<PcmSound> Read(SoundSource& source);
  static int16_t MuLawToLinear(uint8_t code);
};

}  // namespace Velk
