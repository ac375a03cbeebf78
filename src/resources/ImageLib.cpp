// Choosing a decoder by extension, and merging an alpha channel from an "_" companion file.
#include "resources/ImageLib.h"

#include "common/Path.h"
#include "common/StringUtil.h"
#include "resources/ImageLibFile.h"

namespace ImageLib {

std::atomic<uint32_t> gAlphaColor{0xFFFFFF};

namespace {

struct Format {
  const char* extension;
  Decoder decode;
};

// The order in which a name without an extension is tried.
const Format kFormats[] = {{".tga", DecodeTGA}, {".jpg", DecodeJPEG}, {".png", DecodePNG},
                           {".gif", DecodeGIF}, {".j2k", DecodeJ2K},  {".jp2", DecodeJ2K}};

std::unique_ptr<Image> LoadMain(const std::string& name) {
  size_t dot = name.rfind('.');
  size_t separator = name.find_last_of("\\/");
  bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  std::string base = hasExtension ? name.substr(0, dot) : name;
  std::string extension = hasExtension ? Velk::ToUpper(name.substr(dot)) : "";
  for (const Format& format : kFormats) {
    if (hasExtension && extension != Velk::ToUpper(format.extension)) continue;
    if (auto image = DecodeFile(base + format.extension, format.decode)) return image;
  }
  return nullptr;
}

std::unique_ptr<Image> LoadCompanion(const std::string& name) {
  std::string underscored = Velk::PathDirectory(name, true) + "_" + Velk::GetFileName(name);
  if (auto companion = LoadMain(underscored)) return companion;
  return LoadMain(name + "_");
}

}  // namespace

}  // namespace ImageLib

ImageLib::Image* LoadImageByExtension(const std::string& fileName, bool lookForAlpha) {
  std::unique_ptr<ImageLib::Image> image = ImageLib::LoadMain(fileName);
  if (!lookForAlpha) return image.release();
  std::unique_ptr<ImageLib::Image> companion = ImageLib::LoadCompanion(fileName);
  if (!companion) return image.release();
  uint32_t* alpha = companion->GetBits();
  if (!image) {
    // The companion alone: its blue channel is the alpha of a picture in the alpha colour.
    uint32_t colour = ImageLib::gAlphaColor;
    for (int64_t i = 0; i < companion->PixelCount(); ++i) alpha[i] = alpha[i] << 24 | colour;
    return companion.release();
  }
  if (companion->GetWidth() == image->GetWidth() && companion->GetHeight() == image->GetHeight()) {
    uint32_t* bits = image->GetBits();
    for (int64_t i = 0; i < image->PixelCount(); ++i) bits[i] = (bits[i] & 0x00FFFFFF) | alpha[i] << 24;
  }
  return image.release();
}
