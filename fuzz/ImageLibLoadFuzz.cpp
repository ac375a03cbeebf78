// libFuzzer target: the whole load path, from a file on disk through the extension search and the
// alpha companion merge. The first byte chooses the file's extension, whether the name given to
// the loader carries it, and whether an identical "_" companion exists; the rest is the file.
#include "resources/ImageLib.h"

#include <cstdio>
#include <memory>
#include <string>

#include "platform/ScratchFolder.h"

namespace {

const char* const kExtensions[] = {".tga", ".jpg", ".png", ".gif", ".j2k", ".jp2"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ImageLib::LoadJ2KCodec();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const ScratchFolder folder;  // removed at exit
  for (const char* extension : kExtensions) {
    std::remove((folder / "img" + extension).c_str());
    std::remove((folder / "_img" + extension).c_str());
  }
  const char* extension = kExtensions[data[0] % 6];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  folder.Write(std::string("img") + extension, bytes);
  if (data[0] & 0x10) folder.Write(std::string("_img") + extension, bytes);
  std::string name = folder / "img" + ((data[0] & 0x08) ? extension : "");
  std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(name, (data[0] & 0x20) != 0));
  return 0;
}
