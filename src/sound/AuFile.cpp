#include "sound/AuFile.h"

#include <cstdio>
#include <cstring>

namespace Velk {

namespace {

constexpr uint32_t kEncodingMuLaw = 1;
constexpr uint32_t kEncodingLinear8 = 2;

// Magnitude of a µ-law code by segment, for c = code | 0x80.
int32_t MuLawMagnitude(int32_t c) {
  if (c >= 240) return (255 - c) * 2;
  if (c >= 224) return (247 - c) * 4;
  if (c >= 208) return (235 - c) * 8;
  if (c >= 192) return (221 - c) * 16;
  if (c >= 176) return (206 - c) * 32;
  if (c >= 160) return 12192 - 64 * c;
  if (c >= 144) return 22368 - 128 * c;
  return 40672 - 256 * c;  // 128..143: the loudest segment, 128 included
}

}  // namespace

int16_t AuFile::MuLawToLinear(uint8_t code) {
  const int32_t sign = code >= 128 ? 1 : -1;
  return static_cast<int16_t>(4 * sign * MuLawMagnitude(code | 0x80));
}

std::optional<PcmSound> AuFile::Read(SoundSource& source) {
  char magic[4];
  if (!source.ReadExact(magic, 4) || std::memcmp(magic, ".snd", 4) != 0) return std::nullopt;
  const auto offset = source.ReadU32BE();
  const auto size = source.ReadU32BE();
  const auto encoding = source.ReadU32BE();
  const auto rate = source.ReadU32BE();
  const auto channels = source.ReadU32BE();
  if (!channels || channels > 0xFFFF || !source.Seek(*offset, SEEK_SET)) return std::nullopt;
  if (*encoding != kEncodingMuLaw && *encoding != kEncodingLinear8) return std::nullopt;
  if (*size > source.Remaining()) return std::nullopt;

  std::vector<uint8_t> raw(*size);
  if (!source.ReadExact(raw.data(), raw.size())) return std::nullopt;
  PcmSound sound;
  sound.channels = static_cast<uint16_t>(*channels);
  sound.rate = *rate;
  if (*encoding == kEncodingLinear8) {
    // The file holds signed bytes; 8-bit PCM in a buffer is unsigned around 128.
    for (uint8_t& b : raw) b ^= 0x80;
    sound.bits = 8;
    sound.data = std::move(raw);
    return sound;
  }
  sound.bits = 16;
  sound.data.resize(raw.size() * 2);
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto v = static_cast<uint16_t>(MuLawToLinear(raw[i]));
    sound.data[2 * i] = static_cast<uint8_t>(v);
    sound.data[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  return sound;
}

}  // namespace Velk
