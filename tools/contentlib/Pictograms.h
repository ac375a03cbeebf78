#pragma once
// The pictograms of the sample cafe (products, signs, tools), rendered from the colour bitmaps of
// Debian's fonts-noto-color-emoji. The build takes exactly one version of the font: its SHA-256 is
// checked, so the pictures come out byte-identical from run to run. Everything is rendered once when
// loaded; drawing afterwards only reads, so one instance serves every thread of the build.

#include <map>
#include <string>
#include <vector>

#include "contentlib/Canvas.h"
#include "contentlib/Picture.h"

namespace Content {

class Pictograms {
 public:
  static constexpr const char* kFontPath = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";
  static constexpr const char* kFontSha256 = "e5899ed38b8ed83e08bd3ac5de09791e9d19d288333a796de1d35ad17396f1ec";

  // Name -> code point of every pictogram the art may ask for.
  static const std::map<std::string, char32_t>& Names();

  // The pictograms of an order mask, one per product ("1030" -> coffee, juice); empty for anything else.
  static std::vector<std::string> OfMask(const std::string& mask);

  // False with an error when the font is missing, another version, or lacks a pictogram.
  bool Load(const std::string& fontPath, std::string& error);
  bool Has(const std::string& name) const { return mPictures.count(name) != 0; }
  // Draws the pictogram scaled to fit the box (centred, aspect kept), each target pixel the average
  // of the source pixels it covers. An unknown name draws nothing.
  void Draw(Canvas& canvas, const std::string& name, double x, double y, double w, double h) const;

 private:
  std::map<std::string, Picture> mPictures;  // premultiplied, as the font stores them
};

}  // namespace Content
