#pragma once
// The files the FMOD stand-in opens itself, from the disk: sound files decoded into samples, and the
// raw bytes of module songs.

#include "platform/fmod/FModState.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Velk {

class FModFile {
 public:
  static constexpr size_t kMaxFileBytes = size_t{256} << 20;

  // Null for a missing, empty or oversized file.
  static std::optional<std::vector<uint8_t>> ReadBytes(const char* name);
  // A WAV, Ogg Vorbis or MP3 file by its first bytes; null when it does not decode.
  static std::unique_ptr<FSOUND_SAMPLE> LoadSample(const char* name);
  static std::unique_ptr<FSOUND_SAMPLE> DecodeSample(const std::vector<uint8_t>& bytes);
};

}  // namespace Velk
