// The settings file reader on arbitrary text: whatever it keeps must write out and read back the same.

#include "platform/registry/RegistryFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Velk::RegistryFile file;
  file.Parse(std::string(reinterpret_cast<const char*>(data), size));
  const std::string written = file.Serialize();
  Velk::RegistryFile back;
  if (!back.Parse(written) || back.Count() != file.Count() || back.Serialize() != written) __builtin_trap();
  return 0;
}
