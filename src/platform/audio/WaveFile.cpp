#include "platform/audio/WaveFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Velk {

namespace {

constexpr uint32_t kDefaultRate = 22050;
constexpr size_t kMaxDependencyName = 255;

bool IdIs(const char (&id)[4], const char* want) { return std::memcmp(id, want, 4) == 0; }

bool IsChunkIdAt(SoundSource& source, int64_t offset) {
  uint8_t id[4];
  if (!source.Seek(offset, SEEK_SET) || !source.ReadExact(id, 4)) return false;
  return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// Chunks are laid out back to back. Writers that pad odd-sized chunks to an even size are
// recognised by a chunk id that only starts after the pad byte.
int64_t NextChunkOffset(SoundSource& source, int64_t dataStart, uint32_t size) {
  const int64_t next = dataStart + size;
  if ((size & 1) && !IsChunkIdAt(source, next) && IsChunkIdAt(source, next + 1)) return next + 1;
  return next;
}

bool ReadFormat(SoundSource& source, PcmSound& sound) {
  const auto tag = source.ReadU16LE();
  const auto channels = source.ReadU16LE();
  const auto rate = source.ReadU32LE();
  if (!rate || *tag != 1 || !source.Seek(6, SEEK_CUR)) return false;  // bytes per second, block align
  const auto bits = source.ReadU16LE();
  if (!bits) return false;
  sound.channels = *channels;
  sound.rate = *rate;
  sound.bits = *bits;
  return true;
}

// A name longer than the reader takes can never be compared, so such a copy is always stale.
bool DependencyHolds(SoundSource& source, const WaveFile::DependencyCheck& check) {
  const auto length = source.ReadU16LE();
  if (!length || *length > kMaxDependencyName) return false;
  std::string name(*length, '\0');
  if (!source.ReadExact(name.data(), name.size())) return false;
  const auto low = source.ReadU32LE();
  const auto high = source.ReadU32LE();
  if (!high) return false;
  return check(name, (static_cast<uint64_t>(*high) << 32) | *low);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutId(std::vector<uint8_t>& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

// "RIFF", its size as a plain file of this data has it, "WAVE" and the format chunk.
std::vector<uint8_t> Header(const PcmSound& sound, size_t headerSize) {
  std::vector<uint8_t> out;
  out.reserve(headerSize + sound.data.size());
  PutId(out, "RIFF");
  Put32(out, static_cast<uint32_t>(sound.data.size()) + 36);
  PutId(out, "WAVE");
  PutId(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, sound.channels);
  Put32(out, sound.rate);
  Put32(out, sound.BlockAlign() * sound.rate);
  Put16(out, sound.BlockAlign());
  Put16(out, sound.bits);
  return out;
}

void PutData(std::vector<uint8_t>& out, const std::vector<uint8_t>& samples) {
  PutId(out, "data");
  Put32(out, static_cast<uint32_t>(samples.size()));
  out.insert(out.end(), samples.begin(), samples.end());
}

}  // namespace

std::optional<PcmSound> WaveFile::Read(SoundSource& source, const DependencyCheck& check) {
  char id[4];
  if (!source.ReadExact(id, 4) || !IdIs(id, "RIFF") || !source.ReadU32LE()) return std::nullopt;
  if (!source.ReadExact(id, 4) || !IdIs(id, "WAVE")) return std::nullopt;

  PcmSound sound;
  sound.rate = kDefaultRate;
  std::optional<uint8_t> key;
  uint32_t dataSize = 0;
  for (;;) {
    if (!source.ReadExact(id, 4)) return std::nullopt;
    const auto size = source.ReadU32LE();
    if (!size) return std::nullopt;
    const int64_t start = source.Tell();
    if (IdIs(id, "fmt ")) {
      if (!ReadFormat(source, sound)) return std::nullopt;
    } else if (IdIs(id, "dep ")) {
      if (!DependencyHolds(source, check)) return std::nullopt;
    } else if (IdIs(id, "xor ")) {
      uint8_t b;
      if (!source.ReadExact(&b, 1)) return std::nullopt;
      key = b;
    } else if (IdIs(id, "data")) {
      dataSize = *size;
      break;
    }
    if (!source.Seek(NextChunkOffset(source, start, *size), SEEK_SET)) return std::nullopt;
  }

  if (dataSize > source.Remaining()) return std::nullopt;
  sound.data.resize(dataSize);
  if (!source.ReadExact(sound.data.data(), dataSize)) return std::nullopt;
  if (key) Scramble(sound.data, *key);
  return sound;
}

std::vector<uint8_t> WaveFile::BuildCache(const PcmSound& sound, const std::string& sourceName, uint64_t sourceTime) {
  std::vector<uint8_t> out = Header(sound, 71 + sourceName.size());
  PutId(out, "dep ");
  Put32(out, static_cast<uint32_t>(sourceName.size()) + 10);
  Put16(out, static_cast<uint32_t>(sourceName.size()));
  out.insert(out.end(), sourceName.begin(), sourceName.end());
  Put32(out, static_cast<uint32_t>(sourceTime));
  Put32(out, static_cast<uint32_t>(sourceTime >> 32));
  PutId(out, "xor ");
  Put32(out, 1);
  out.push_back(kScrambleKey);
  std::vector<uint8_t> samples = sound.data;
  Scramble(samples, kScrambleKey);
  PutData(out, samples);
  return out;
}

std::vector<uint8_t> WaveFile::BuildPlain(const PcmSound& sound) {
  std::vector<uint8_t> out = Header(sound, 44);
  PutData(out, sound.data);
  return out;
}

bool WaveFile::WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(MapPath(path), std::string(bytes.begin(), bytes.end()));
}

void WaveFile::Scramble(std::vector<uint8_t>& data, uint8_t key) {
  for (uint8_t& b : data) b ^= key;
}

}  // namespace Velk
