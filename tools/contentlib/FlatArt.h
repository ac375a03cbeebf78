#pragma once
// The flat generated art: each style draws a picture from a few options (colours, a glyph, a
// label, a frame number). Labels use DejaVu Sans through FreeType; everything else is shapes.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/Canvas.h"
#include "contentlib/GlyphRasterizer.h"
#include "contentlib/Picture.h"
#include "contentlib/Pictograms.h"

namespace Content {

struct ArtRequest {
  std::string file;
  int width = 0, height = 0;
  std::string style;
  std::map<std::string, std::string> options;
};

struct CelRequest {
  std::string shape;  // rect round figure bubble bar badge stain plate stack picture machine sink bin crate
  uint32_t colour = 0;
  int frame = 0, of = 1;
  std::string orient;                 // for figure: the facing (t tr r br b bl l tl)
  std::string kind;                   // for figure: who (the skin)
  std::vector<std::string> pictures;  // pictograms a plate, a picture or a prop shows
};

class FlatArt {
 public:
  FlatArt(GlyphRasterizer& rasterizer, std::string fontsDir, const Pictograms& pictograms)
      : mRasterizer(rasterizer), mFontsDir(std::move(fontsDir)), mPictograms(pictograms) {}

  // Every style and the option keys it takes.
  static const std::map<std::string, std::set<std::string>>& Styles();
  static const std::set<std::string>& Glyphs();
  static const std::set<std::string>& CelShapes();
  // A palette key, #RRGGBB or #AARRGGBB.
  static bool Colour(const std::string& text, uint32_t& argb);

  bool Draw(const ArtRequest& entry, Picture& out, std::string& error);
  // One animation cel in the box.
  static void DrawCel(Canvas& canvas, const Pictograms& pictograms, int x, int y, int w, int h, const CelRequest& cel);
  static void DrawGlyph(Canvas& canvas, const std::string& glyph, double cx, double cy, double size, uint32_t colour);

  // One picture being drawn (the styles' shared helpers).
  class Context;

 private:
  GlyphRasterizer& mRasterizer;
  std::string mFontsDir;
  const Pictograms& mPictograms;
};

}  // namespace Content
