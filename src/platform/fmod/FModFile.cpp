#include "platform/fmod/FModFile.h"

#include "platform/audio/Mp3File.h"
#include "platform/audio/OggFile.h"
#include "platform/audio/WaveFile.h"
#include "platform/files/PathMap.h"

#include <cstdio>
#include <cstring>

namespace Velk {

namespace {

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

// The library knows nothing of the sound manager's cache, so a "dep " chunk never makes a file stale.
std::optional<PcmSound> Decode(const std::vector<uint8_t>& bytes) {
  MemorySoundSource source(bytes.data(), bytes.size());
  if (StartsWith(bytes, "RIFF")) return WaveFile::Read(source, [](const std::string&, uint64_t) { return true; });
  if (StartsWith(bytes, "OggS")) return OggFile::Read(source);
  return Mp3File::Read(bytes.data(), bytes.size());
}

// What the mixer plays: mono or stereo, 8 or 16 bits, at least one frame, a sane rate.
bool Playable(const PcmSound& sound) {
  return (sound.channels == 1 || sound.channels == 2) && (sound.bits == 8 || sound.bits == 16) &&
         sound.data.size() >= sound.BlockAlign() && sound.rate > 0 && sound.rate <= 0x7FFFFFFF;
}

}  // namespace

std::optional<std::vector<uint8_t>> FModFile::ReadBytes(const char* name) {
  if (!name) return std::nullopt;
  FILE* file = OpenFile(name, "rb");
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t chunk[1 << 16];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() + got <= kMaxFileBytes) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  const bool whole = std::feof(file) != 0;
  std::fclose(file);
  if (!whole || bytes.empty()) return std::nullopt;
  return bytes;
}

std::unique_ptr<FSOUND_SAMPLE> FModFile::LoadSample(const char* name) {
  const auto bytes = ReadBytes(name);
  return bytes ? DecodeSample(*bytes) : nullptr;
}

std::unique_ptr<FSOUND_SAMPLE> FModFile::DecodeSample(const std::vector<uint8_t>& bytes) {
  auto sound = Decode(bytes);
  if (!sound || !Playable(*sound)) return nullptr;
  auto sample = std::make_unique<FSOUND_SAMPLE>();
  sample->pcm = std::make_shared<AudioPcm>();
  sample->pcm->channels = sound->channels;
  sample->pcm->bits = sound->bits;
  sample->pcm->bytes = std::move(sound->data);
  sample->mode = FSOUND_LOOP_OFF | (sound->bits == 8 ? FSOUND_8BITS : FSOUND_16BITS) |
                 (sound->channels == 1 ? FSOUND_MONO : FSOUND_STEREO);
  sample->frequency = static_cast<int>(sound->rate);
  sample->loopEnd = sample->pcm->Frames();
  return sample;
}

}  // namespace Velk
