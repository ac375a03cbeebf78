#include "resources/ImageLibFile.h"

#include "platform/files/PathMap.h"
#include "resources/PakInterface.h"

namespace ImageLib {

std::unique_ptr<Image> DecodeFile(const std::string& fileName, Decoder decode) {
  PakFile* file = PakFileOpen(fileName.c_str(), "rb");
  if (!file) return nullptr;
  ImageSource source(file);
  std::unique_ptr<Image> image = decode(source);
  PakFileClose(file);
  return image;
}

bool EncodeFile(const std::string& fileName, const Image* image, Encoder encode) {
  if (!image || !image->GetBits()) return false;
  FILE* file = Velk::OpenFile(fileName, "wb");
  if (!file) return false;
  bool ok = encode(file, *image);
  return std::fclose(file) == 0 && ok;
}

}  // namespace ImageLib
