#pragma once
// content/fonts/fonts.txt: one font descriptor per line,
//   descriptor  atlas  face  px  layer...  [kerning=true] [digits=true] [ref=name]
// where a layer is main, offset(dx,dy), shadow(dx,dy,alpha,tag) or stroke(n). Descriptors that
// share an atlas must agree on its face and size. ref is how the descriptor names its atlas
// (default: the atlas file name; without extension the loader searches for one).

#include <string>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

struct FontLayerEntry {
  enum class Kind { Main, Offset, Shadow, Stroke } kind = Kind::Main;
  int dx = 0, dy = 0;
  double alpha = 0;
  std::string tag;
};

struct FontEntry {
  int line = 0;
  std::string descriptor;  // staged path, '\' separated
  std::string atlas;
  std::string face;  // file name below the fonts folder
  int pixels = 0;
  std::vector<FontLayerEntry> layers;
  bool kerning = false;
  bool digits = false;  // the digits row as one span list
  std::string ref;
};

class FontList {
 public:
  static bool Parse(const std::string& file, const std::string& text, std::vector<FontEntry>& fonts,
                    Findings& findings);
};

}  // namespace Content
