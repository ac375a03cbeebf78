#pragma once
// RIFF WAVE files: plain PCM files and the decoded-sound cache, which adds a "dep " chunk (the
// source file's name and last-write time) and an "xor " chunk (the scrambling of its samples).

#include "platform/audio/PcmSound.h"
#include "platform/audio/SoundSource.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Velk {

class WaveFile {
 public:
  // Answers whether the dependency named in a "dep " chunk still has the stored time (a 64-bit
  // FILETIME value); false makes the file stale.
  using DependencyCheck = std::function<bool(const std::string& name, uint64_t storedTime)>;

  static constexpr uint8_t kScrambleKey = 0x5A;

  // Null on any problem: not RIFF WAVE, not PCM, a stale dependency, a truncated chunk or data.
  static std::optional<PcmSound> Read(SoundSource& source, const DependencyCheck& check);

  // The cache file's bytes for a decoded sound.
  static std::vector<uint8_t> BuildCache(const PcmSound& sound, const std::string& sourceName, uint64_t sourceTime);
  // A plain PCM WAV file.
  static std::vector<uint8_t> BuildPlain(const PcmSound& sound);
  // Writes beside the target and renames over it, so that no reader sees half a file.
  static bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

  static void Scramble(std::vector<uint8_t>& data, uint8_t key);
};

}  // namespace Velk
