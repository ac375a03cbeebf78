// libFuzzer target: the GIF decoder over arbitrary bytes.
#include "resources/ImageLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ImageLib::ImageSource source(data, size);
  ImageLib::DecodeGIF(source);
  return 0;
}
