// The MP3 reader on arbitrary bytes: our checks around the decoder, which itself is not instrumented.

#include "platform/audio/Mp3File.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto sound = Velk::Mp3File::Read(data, size);
  if (sound && (sound->bits != 16 || sound->data.empty() || sound->data.size() % (2u * sound->channels) != 0)) {
    __builtin_trap();
  }
  return 0;
}
