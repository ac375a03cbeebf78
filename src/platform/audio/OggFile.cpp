#include "platform/audio/OggFile.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdint>

namespace Velk {

namespace {

// The largest buffer the sound device accepts.
constexpr int64_t kMaxBytes = 0x0FFFFFFF;

size_t ReadCallback(void* dst, size_t size, size_t count, void* source) {
  if (size == 0) return 0;
  return static_cast<SoundSource*>(source)->Read(dst, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
  return static_cast<SoundSource*>(source)->Seek(offset, origin) ? 0 : -1;
}

int CloseCallback(void*) { return 0; }  // the caller owns the source

long TellCallback(void* source) { return static_cast<long>(static_cast<SoundSource*>(source)->Tell()); }

bool Decode(OggVorbis_File& file, PcmSound& sound) {
  const vorbis_info* info = ov_info(&file, -1);
  const ogg_int64_t frames = ov_pcm_total(&file, -1);
  if (!info || (info->channels != 1 && info->channels != 2) || frames <= 0 || info->rate <= 0) return false;
  const int64_t bytes = frames * info->channels * 2;
  if (bytes > kMaxBytes) return false;
  sound.channels = static_cast<uint16_t>(info->channels);
  sound.rate = static_cast<uint32_t>(info->rate);
  sound.bits = 16;
  sound.data.resize(static_cast<size_t>(bytes));
  size_t filled = 0;
  int section = 0;
  while (filled < sound.data.size()) {
    const size_t want = std::min<size_t>(sound.data.size() - filled, 1 << 16);
    const long got =
        ov_read(&file, reinterpret_cast<char*>(sound.data.data() + filled), static_cast<int>(want), &section);
    if (got < 1) break;
    filled += static_cast<size_t>(got);
  }
  return filled == sound.data.size();
}

}  // namespace

std::optional<PcmSound> OggFile::Read(SoundSource& source) {
  ov_callbacks callbacks{&ReadCallback, &SeekCallback, &CloseCallback, &TellCallback};
  OggVorbis_File file;
  if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) < 0) return std::nullopt;
  PcmSound sound;
  const bool ok = Decode(file, sound);
  ov_clear(&file);
  if (!ok) return std::nullopt;
  return sound;
}

}  // namespace Velk
