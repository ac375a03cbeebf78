// The Ogg Vorbis reader on arbitrary bytes: our callbacks and checks around the decoder.

#include "platform/audio/OggFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Velk::MemorySoundSource source(data, size);
  const auto sound = Velk::OggFile::Read(source);
  if (sound && (sound->bits != 16 || sound->data.size() % (2u * sound->channels) != 0)) __builtin_trap();
  return 0;
}
