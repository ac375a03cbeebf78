// Takes the input as a level file and reads it as the gameplay board does (cafe/LevelFuzzScript.h).

#include <cstdint>
#include <string>

#include "cafe/LevelFuzzScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static level_fuzz::World world;
  level_fuzz::Run(world, std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
