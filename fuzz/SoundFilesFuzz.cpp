// Sound file readers on arbitrary bytes: plain and cached WAV files (with the dependency check
// answering either way) and Sun audio files.

#include "sound/AuFile.h"
#include "platform/audio/WaveFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace Velk;
  for (bool fresh : {true, false}) {
    MemorySoundSource source(data, size);
    const auto sound = WaveFile::Read(source, [fresh](const std::string&, uint64_t) { return fresh; });
    if (sound && sound->data.size() > size) __builtin_trap();
  }
  MemorySoundSource au(data, size);
  const auto sound = AuFile::Read(au);
  if (sound && sound->data.size() > 2 * size) __builtin_trap();
  return 0;
}
