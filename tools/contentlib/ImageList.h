#pragma once
// content/art/images.txt: one picture per line, "file  w h  style  key=value...". The file's
// extension picks the format; the style and its options are those of FlatArt.

#include <string>
#include <vector>

#include "contentlib/FlatArt.h"
#include "contentlib/Findings.h"

namespace Content {

struct ImageEntry {
  int line = 0;
  ArtRequest art;
};

class ImageList {
 public:
  static bool Parse(const std::string& file, const std::string& text, std::vector<ImageEntry>& images,
                    Findings& findings);
};

}  // namespace Content
