#include "platform/squall/SquallDecode.h"

#include "platform/audio/OggFile.h"
#include "platform/audio/WaveFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace Velk {

namespace {

// A WAV file of kMaxFrames 16-bit stereo frames plus room for its other chunks. Refusing larger files
// up front keeps a hostile file from making the reader allocate before the format is checked.
constexpr int64_t kMaxWaveFileBytes = static_cast<int64_t>(SquallDecode::kMaxFrames * 4) + (1 << 20);

std::optional<SquallPcm> ToSquallPcm(std::optional<PcmSound> sound) {
  if (!sound || sound->rate == 0) return std::nullopt;
  if ((sound->channels != 1 && sound->channels != 2) || (sound->bits != 8 && sound->bits != 16)) return std::nullopt;
  if (sound->data.size() / sound->BlockAlign() > SquallDecode::kMaxFrames) return std::nullopt;
  auto pcm = std::make_shared<AudioPcm>();
  pcm->channels = sound->channels;
  pcm->bits = sound->bits;
  pcm->bytes = std::move(sound->data);
  return SquallPcm{std::move(pcm), sound->rate};
}

}  // namespace

std::unique_ptr<SquallFileSource> SquallFileSource::Open(const SquallFileCallbacks& files, const char* path) {
  if (!files.IsSet() || !path) return nullptr;
  const int handle = files.open(path);
  if (handle < 0) return nullptr;
  return std::unique_ptr<SquallFileSource>(new SquallFileSource(files, handle));
}

SquallFileSource::~SquallFileSource() { files_.close(handle_); }

size_t SquallFileSource::Read(void* dst, size_t bytes) {
  size_t total = 0;
  auto* out = static_cast<uint8_t*>(dst);
  while (total < bytes) {
    const int want = static_cast<int>(std::min<size_t>(bytes - total, std::numeric_limits<int>::max()));
    const int got = files_.read(handle_, out + total, want);
    if (got <= 0) break;
    total += static_cast<size_t>(std::min(got, want));
  }
  return total;
}

// The seek callback only answers where it ended up, so every seek becomes an absolute one whose
// result can be checked.
bool SquallFileSource::Seek(int64_t offset, int origin) {
  int64_t base = 0;
  if (origin == SEEK_CUR) base = Tell();
  if (origin == SEEK_END) base = files_.seek(handle_, 0, SEEK_END);
  const int64_t target = base + offset;
  if (base < 0 || target < 0 || target > std::numeric_limits<int>::max()) return false;
  if (origin == SEEK_END && target > base) return false;
  return files_.seek(handle_, static_cast<int>(target), SEEK_SET) == target;
}

int64_t SquallFileSource::Tell() { return files_.seek(handle_, 0, SEEK_CUR); }

SquallFileKind SquallDecode::Sniff(SoundSource& source) {
  char magic[4] = {};
  const bool read = source.ReadExact(magic, 4);
  source.Seek(0, SEEK_SET);
  if (!read) return SquallFileKind::Unknown;
  if (std::memcmp(magic, "RIFF", 4) == 0) return SquallFileKind::Wave;
  if (std::memcmp(magic, "OggS", 4) == 0) return SquallFileKind::Ogg;
  return SquallFileKind::Unknown;
}

std::optional<SquallPcm> SquallDecode::Decode(SoundSource& source) {
  switch (Sniff(source)) {
    case SquallFileKind::Wave: {
      if (source.Remaining() > kMaxWaveFileBytes) return std::nullopt;
      // The library's files are plain PCM; the sound cache's dependency chunk never holds here.
      return ToSquallPcm(WaveFile::Read(source, [](const std::string&, uint64_t) { return false; }));
    }
    case SquallFileKind::Ogg:
      return ToSquallPcm(OggFile::Read(source));
    case SquallFileKind::Unknown:
      break;
  }
  return std::nullopt;
}

}  // namespace Velk
