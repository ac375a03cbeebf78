#include "platform/audio/Mp3File.h"

#include <mpg123.h>

#include <memory>
#include <mutex>

namespace Velk {

namespace {

// The largest buffer the sound device accepts.
constexpr size_t kMaxBytes = 0x0FFFFFFF;
constexpr size_t kReadBytes = 1 << 16;

struct HandleDeleter {
  void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// Every rate the decoder knows, as 16-bit samples, so that it never hands out another encoding.
Handle OpenDecoder() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
  Handle handle(mpg123_new(nullptr, nullptr));
  if (!handle) return nullptr;
  mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) {
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open_feed(handle.get()) != MPG123_OK) return nullptr;
  return handle;
}

// False when the stream announces a format other than the first one, or one we cannot play.
bool TakeFormat(mpg123_handle* handle, PcmSound& sound, bool& known) {
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) return false;
  if ((channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16 || rate <= 0) return false;
  if (known && (sound.channels != channels || sound.rate != static_cast<uint32_t>(rate))) return false;
  known = true;
  sound.channels = static_cast<uint16_t>(channels);
  sound.rate = static_cast<uint32_t>(rate);
  sound.bits = 16;
  return true;
}

bool Decode(mpg123_handle* handle, PcmSound& sound) {
  bool known = false;
  std::vector<uint8_t> chunk(kReadBytes);
  for (;;) {
    size_t done = 0;
    const int result = mpg123_read(handle, chunk.data(), chunk.size(), &done);
    if (done > 0 && (!known || sound.data.size() + done > kMaxBytes)) return false;
    sound.data.insert(sound.data.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(done));
    if (result == MPG123_NEW_FORMAT && !TakeFormat(handle, sound, known)) return false;
    if (result == MPG123_NEED_MORE || result == MPG123_DONE) break;
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) return false;
  }
  return known && !sound.data.empty() && sound.data.size() % sound.BlockAlign() == 0;
}

}  // namespace

std::optional<PcmSound> Mp3File::Read(const uint8_t* data, size_t size) {
  Handle handle = OpenDecoder();
  if (!handle || size == 0) return std::nullopt;
  if (mpg123_feed(handle.get(), data, size) != MPG123_OK) return std::nullopt;
  PcmSound sound;
  if (!Decode(handle.get(), sound)) return std::nullopt;
  return sound;
}

}  // namespace Velk
