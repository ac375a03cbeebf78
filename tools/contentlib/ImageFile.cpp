#include "contentlib/ImageFile.h"

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
  if (ext == ".gif") return GifWriter::Write(picture, out, error);
  if (ext == ".jp2") return Jp2Writer::Write(picture, out, error);
  if (ext == ".jpg" && BaseName(fileName).front() == '_') return JpegWriter::WriteAlphaCompanion(picture, out, error);
  if (ext == ".jpg") return JpegWriter::Write(picture, out, error);
  error = "unknown image extension '" + ext + "' (use .png .jpg .gif .tga .jp2)";
  return false;
}

}  // namespace Content
