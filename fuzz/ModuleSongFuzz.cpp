// The module song reader on arbitrary bytes: our checks and rendering around the reader, which
// itself is not instrumented.

#include "platform/fmod/ModuleSong.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A short limit keeps each run quick; longer songs are refused before they render.
  const auto song = Velk::ModuleSong::Render(data, size, 10.0);
  if (!song) return 0;
  const auto& pcm = *song->Pcm();
  if (pcm.channels != 2 || pcm.bits != 16 || pcm.Frames() == 0 || pcm.Frames() > 10 * 44100) __builtin_trap();
  if (song->OrderStart(0) && *song->OrderStart(0) > pcm.Frames()) __builtin_trap();
  return 0;
}
