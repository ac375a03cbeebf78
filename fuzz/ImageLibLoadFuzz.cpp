// libFuzzer target: the whole load path, from a file on disk through the extension search and the
// alpha companion merge. The first byte chooses the file's extension, whether the name given to
// the loader carries it, and whether an identical "_" companion exists; the rest is the file.
#include "resources/ImageLib.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const char* const kExtensions[] = {".tga", ".jpg", ".png", ".gif", ".j2k", ".jp2"};

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/imagelib-fuzz-XXXXXX";
    ImageLib::LoadJ2KCodec();
    return std::string(mkdtemp(pattern)) + "/";
  }();
  return folder;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string& folder = Folder();
  for (const char* extension : kExtensions) {
    std::remove((folder + "img" + extension).c_str());
    std::remove((folder + "_img" + extension).c_str());
  }
  const char* extension = kExtensions[data[0] % 6];
  WriteFile(folder + "img" + extension, data + 1, size - 1);
  if (data[0] & 0x10) WriteFile(folder + "_img" + extension, data + 1, size - 1);
  std::string name = folder + "img" + ((data[0] & 0x08) ? extension : "");
  std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(name, (data[0] & 0x20) != 0));
  return 0;
}
