#pragma once
// Bitmap-font atlases rendered with FreeType: the 190 characters U+0020-U+007E and U+00A0-U+00FF,
// each in a cell as wide as its advance (at least 1 px) and as tall as the line, baseline at the
// ascent, 1 px between cells, rows at most 512 px wide. Every pixel is white with alpha = coverage,
// so an atlas never has more than 256 distinct pixels (the font loader palettises it).

#include <memory>
#include <string>
#include <vector>

#include "contentlib/Picture.h"

namespace Content {

struct GlyphCell {
  char16_t ch = 0;
  int x = 0, y = 0, w = 0, h = 0;
  int advance = 0;
};

struct KerningPair {
  char16_t first = 0, second = 0;
  int offset = 0;  // pixels
};

struct GlyphAtlas {
  Picture picture;
  std::vector<GlyphCell> cells;
  std::vector<KerningPair> kerning;  // ASCII letters and digits, nonzero only
  int ascent = 0;
  int lineHeight = 0;
};

class GlyphRasterizer {
 public:
  static constexpr int kMaxRowWidth = 512;
  // Where Debian's fonts-dejavu-core puts the faces (the folder the system fonts use too).
  static constexpr const char* kFaceFolder = "/usr/share/fonts/truetype/dejavu";

  GlyphRasterizer();
  ~GlyphRasterizer();
  GlyphRasterizer(const GlyphRasterizer&) = delete;
  GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

  // The characters of every atlas, in order.
  static std::vector<char16_t> CharacterSet();

  bool Render(const std::string& facePath, int pixels, GlyphAtlas& atlas, std::string& error);

  // Draws a one-line label centred in the box, at the largest size up to the box's height that
  // fits its width (never smaller than 6 px); every pixel stays inside the box.
  bool DrawLabel(const std::string& facePath, const std::string& utf8, Picture& picture, int x, int y, int w, int h,
                 uint32_t colour, std::string& error);

 private:
  struct Library;
  std::unique_ptr<Library> mLibrary;
};

}  // namespace Content
