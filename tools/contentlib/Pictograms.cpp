#include "contentlib/Pictograms.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "contentlib/GameFacts.h"
#include "contentlib/Sha256.h"

namespace Content {
namespace {

struct LibraryCloser {
  void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceCloser {
  void operator()(FT_Face f) const { FT_Done_Face(f); }
};

// The colour bitmap of one code point, BGRA premultiplied in the font, as 0xAARRGGBB premultiplied.
bool Render(FT_Face face, char32_t code, Picture& out) {
  const FT_UInt glyph = FT_Get_Char_Index(face, code);
  if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) != 0) return false;
  const FT_Bitmap& b = face->glyph->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_BGRA || b.width == 0 || b.rows == 0) return false;
  out = Picture(static_cast<int>(b.width), static_cast<int>(b.rows));
  for (unsigned y = 0; y < b.rows; ++y)
    for (unsigned x = 0; x < b.width; ++x) {
      const uint8_t* p = b.buffer + y * b.pitch + x * 4;
      out.At(static_cast<int>(x), static_cast<int>(y)) =
          static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    }
  return true;
}

// Weights of the source pixels [first, first + count) that the target span [t0, t1) covers, in source units.
void Span(double t0, double t1, int limit, int& first, std::vector<double>& weights) {
  first = std::max(0, static_cast<int>(std::floor(t0)));
  const int last = std::min(limit, static_cast<int>(std::ceil(t1)));
  weights.clear();
  for (int s = first; s < last; ++s) weights.push_back(std::min<double>(s + 1, t1) - std::max<double>(s, t0));
}

}  // namespace

const std::map<std::string, char32_t>& Pictograms::Names() {
  static const std::map<std::string, char32_t> names = {
      {"coffee", 0x2615},  {"tea", 0x1F375},      {"cocoa", 0x1F36B},    {"cake", 0x1F370},   {"icecream", 0x1F366},
      {"juice", 0x1F9C3},  {"smoothie", 0x1F964}, {"sandwich", 0x1F96A}, {"pizza", 0x1F355},  {"super", 0x1F958},
      {"wash", 0x1F9FD},   {"think", 0x1F4AD},    {"scandal", 0x1F620},  {"broken", 0x1F527}, {"ready", 0x1F4DD},
      {"working", 0x23F3}, {"moneybag", 0x1F4B0}};
  return names;
}

std::vector<std::string> Pictograms::OfMask(const std::string& mask) {
  // A slot's digit names the product in it.
  static const std::map<std::string, std::string> products = {
      {"1000", "coffee"}, {"2000", "tea"},      {"3000", "cocoa"},    {"0200", "cake"}, {"0300", "icecream"},
      {"0030", "juice"},  {"0060", "smoothie"}, {"0004", "sandwich"}, {"0005", "pizza"}};
  std::vector<std::string> pictures;
  if (!GameFacts::IsOrderMask(mask)) return pictures;
  for (const std::string& single : GameFacts::Products(mask))
    if (const auto found = products.find(single); found != products.end()) pictures.push_back(found->second);
  return pictures;
}

bool Pictograms::Load(const std::string& fontPath, std::string& error) {
  std::ifstream file(fontPath, std::ios::binary);
  if (!file)
    return error = "cannot read " + fontPath + " (package fonts-noto-color-emoji, scripts/install-deps)", false;
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (const std::string hash = Sha256::Hex(bytes); hash != kFontSha256)
    return error = fontPath + " has SHA-256 " + hash + ", the build expects " + kFontSha256 +
                   " (fonts-noto-color-emoji 2.042-0+deb12u1): another version would change the pictures",
           false;
  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return error = "FreeType did not start", false;
  std::unique_ptr<FT_LibraryRec_, LibraryCloser> library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Memory_Face(library.get(), bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &rawFace) != 0)
    return error = "FreeType cannot open " + fontPath, false;
  std::unique_ptr<FT_FaceRec_, FaceCloser> face(rawFace);
  if (face->num_fixed_sizes < 1 || FT_Select_Size(face.get(), 0) != 0)
    return error = fontPath + " has no bitmap strike", false;
  for (const auto& [name, code] : Names())
    if (!Render(face.get(), code, mPictures[name]))
      return error = fontPath + " cannot render the pictogram '" + name + "'", false;
  return true;
}

void Pictograms::Draw(Canvas& canvas, const std::string& name, double x, double y, double w, double h) const {
  const auto found = mPictures.find(name);
  if (found == mPictures.end()) return;
  const Picture& src = found->second;
  const double scale = std::min(w / src.width, h / src.height);  // target pixels per source pixel
  const double left = x + (w - src.width * scale) / 2, top = y + (h - src.height * scale) / 2;
  std::vector<double> wx, wy;
  for (int ty = static_cast<int>(std::floor(top)); ty < std::ceil(top + src.height * scale); ++ty) {
    int sy0 = 0;
    Span((ty - top) / scale, (ty + 1 - top) / scale, src.height, sy0, wy);
    for (int tx = static_cast<int>(std::floor(left)); tx < std::ceil(left + src.width * scale); ++tx) {
      int sx0 = 0;
      Span((tx - left) / scale, (tx + 1 - left) / scale, src.width, sx0, wx);
      double sum[4] = {0, 0, 0, 0}, area = 0;
      for (size_t j = 0; j < wy.size(); ++j)
        for (size_t i = 0; i < wx.size(); ++i) {
          const uint32_t p = src.At(sx0 + static_cast<int>(i), sy0 + static_cast<int>(j));
          const double weight = wx[i] * wy[j];
          for (int c = 0; c < 4; ++c) sum[c] += weight * ((p >> (8 * c)) & 0xFF);
          area += weight;
        }
      const double alpha = area > 0 ? sum[3] / area : 0;
      if (alpha <= 0) continue;
      // Premultiplied sums, back to a straight colour.
      uint32_t colour = 0xFF000000;
      for (int c = 0; c < 3; ++c)
        colour |= static_cast<uint32_t>(std::clamp(std::lround(sum[c] / sum[3] * 255), 0L, 255L)) << (8 * c);
      // Coverage of the target pixel by the picture's box, so its edges stay smooth.
      const double covered =
          std::clamp(std::min<double>(tx + 1, left + src.width * scale) - std::max<double>(tx, left), 0.0, 1.0) *
          std::clamp(std::min<double>(ty + 1, top + src.height * scale) - std::max<double>(ty, top), 0.0, 1.0);
      canvas.Blend(tx, ty, colour, alpha / 255 * covered);
    }
  }
}

}  // namespace Content
