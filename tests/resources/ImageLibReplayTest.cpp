// Every stored input, including those kept from fuzzing, must be survived by every decoder.
#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ImageLibTest;

TEST(ImageLibReplay, KeptInputsDecodeSafelyEverywhere) {
  ImageLib::LoadJ2KCodec();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(DataPath(""))) {
    Bytes bytes = ReadBytes(entry.path().string());
    // The whole-path target's first byte chose the file name, not the contents.
    if (entry.path().filename().string().rfind("load-", 0) == 0 && !bytes.empty()) bytes.erase(bytes.begin());
    for (Decoder decode :
         {ImageLib::DecodeTGA, ImageLib::DecodeGIF, ImageLib::DecodePNG, ImageLib::DecodeJPEG, ImageLib::DecodeJ2K})
      Decode(decode, bytes);
    ++files;
  }
  ImageLib::FreeJ2KCodec();
  EXPECT_GT(files, 30);
}
