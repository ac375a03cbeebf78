// The demo file reader on arbitrary bytes; a file it accepts must save and load back the same.

#include "app/DemoFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using Velk::DemoFile;
  const std::string version = "1.0";
  DemoFile file;
  Velk::Buffer events;
  std::string error;
  if (!file.Parse(std::vector<uint8_t>(data, data + size), version, events, error)) return 0;
  DemoFile back;
  Velk::Buffer again;
  if (!back.Parse(file.Serialise(events), version, again, error) || back.mSeed != file.mSeed ||
      back.mDemoLength != file.mDemoLength || back.mMarkers.size() != file.mMarkers.size() ||
      again.ByteLength() != events.ByteLength()) {
    __builtin_trap();
  }
  return 0;
}
