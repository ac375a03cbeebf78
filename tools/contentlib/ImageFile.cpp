#include "contentlib/ImageFile.h"

#include "contentlib/Canvas.h"
#include "contentlib/GifWriter.h"
#include "contentlib/Jp2Writer.h"
#include "contentlib/JpegWriter.h"
#include "contentlib/PngWriter.h"
#include "contentlib/TgaWriter.h"

namespace Content {
namespace {

std::string Extension(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  const size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return fileName.substr(dot);
}

std::string BaseName(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// The picture over white, every pixel opaque; with keepHoles, pixels under half alpha become
// fully transparent instead (a GIF's transparent index).
Picture OverWhite(const Picture& picture, bool keepHoles) {
  Picture white(picture.width, picture.height, 0xFFFFFFFF);
  Canvas canvas(white);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.At(x, y);
      if (keepHoles && (p >> 24) < 0x80)
        white.At(x, y) = 0;
      else
        canvas.Blend(x, y, p, 1);
    }
  return white;
}

}  // namespace

bool ImageFile::KnownExtension(const std::string& fileName) {
  const std::string ext = Extension(fileName);
  return ext == ".png" || ext == ".jpg" || ext == ".gif" || ext == ".tga" || ext == ".jp2";
}

bool ImageFile::KeepsAlpha(const std::string& fileName) {
  const std::string ext = Extension(fileName);
  return ext == ".png" || ext == ".tga";
}

bool ImageFile::Encode(const std::string& fileName, const Picture& picture, std::vector<uint8_t>& out,
                       std::string& error) {
  const std::string ext = Extension(fileName);
  if (ext == ".png") return PngWriter::Write(picture, out, error);
  if (ext == ".tga") return TgaWriter::Write(picture, out, error);
  if (ext == ".gif") return GifWriter::Write(OverWhite(picture, true), out, error);
  if (ext == ".jp2") return Jp2Writer::Write(OverWhite(picture, false), out, error);
  if (ext == ".jpg" && BaseName(fileName).front() == '_') return JpegWriter::WriteAlphaCompanion(picture, out, error);
  if (ext == ".jpg") return JpegWriter::Write(OverWhite(picture, false), out, error);
  error = "unknown image extension '" + ext + "' (use .png .jpg .gif .tga .jp2)";
  return false;
}

}  // namespace Content
