#include "platform/gdi/FaceFiles.h"

#include <algorithm>

#include "platform/files/AsciiCase.h"

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Velk::FoldAscii(x) == Velk::FoldAscii(y); });
}

}  // namespace

std::string FaceFilePath(const std::string& faceName, bool bold, bool italic) {
  const bool mono = EqualNoCase(faceName, "Courier New");
  std::string file = mono ? "DejaVuSansMono" : "DejaVuSans";
  if (bold || italic) file += "-";
  if (bold) file += "Bold";
  if (italic) file += "Oblique";
  return kFontFolder + file + ".ttf";
}
