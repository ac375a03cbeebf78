// The sound library's file readers on arbitrary bytes, read through the four file callbacks as the
// library reads every file: WAV and Ogg Vorbis, chosen by the first bytes.

#include "platform/squall/SquallDecode.h"

#include "../tests/platform/squall/SquallMemoryFiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace Velk;
  namespace mf = SquallMemoryFiles;
  mf::Put("input", mf::Bytes(data, data + size));
  const SquallFileCallbacks files{&mf::Open, &mf::Seek, &mf::Read, &mf::Close};
  auto source = SquallFileSource::Open(files, "input");
  if (!source) __builtin_trap();
  const auto decoded = SquallDecode::Decode(*source);
  if (decoded) {
    const AudioPcm& pcm = *decoded->pcm;
    if (pcm.Frames() > SquallDecode::kMaxFrames || (pcm.channels != 1 && pcm.channels != 2)) __builtin_trap();
    if (pcm.bits != 8 && pcm.bits != 16) __builtin_trap();
  }
  source.reset();
  if (mf::OpenCount() != 0) __builtin_trap();
  return 0;
}
