// Key, character, modifier and click scripts for the name field; any broken editing state aborts.
#include <cstdio>
#include <cstdlib>

#include "ui/EditKeysScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static UiTestWorld* world = new UiTestWorld();
  std::string broken = edit_keys::RunScript(*world, data, size);
  if (!broken.empty()) {
    std::fprintf(stderr, "%s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
