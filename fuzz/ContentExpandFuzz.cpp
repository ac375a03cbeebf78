// The content builder's readers over arbitrary text: the XML repeat macro and its expressions, and
// the four description files.
#include "ContentFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunContentInput(data, size);
  return 0;
}
