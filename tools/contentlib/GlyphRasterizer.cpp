#include "contentlib/GlyphRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "contentlib/Canvas.h"
#include "contentlib/Utf16Writer.h"

namespace Content {
namespace {

constexpr uint32_t kClearWhite = 0x00FFFFFF;

struct FaceCloser {
  void operator()(FT_Face f) const { FT_Done_Face(f); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

bool Kernable(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int Pixels26_6(FT_Pos v) { return static_cast<int>(std::lround(v / 64.0)); }

// Lays the cells out in rows; the atlas is as wide as its widest row.
void LayOut(std::vector<GlyphCell>& cells, int lineHeight, int& width, int& height) {
  int x = 0, y = 0;
  width = 1;
  for (GlyphCell& c : cells) {
    if (x > 0 && x + c.w > GlyphRasterizer::kMaxRowWidth) x = 0, y += lineHeight + 1;
    c.x = x, c.y = y;
    width = std::max(width, x + c.w);
    x += c.w + 1;
  }
  height = y + lineHeight;
}

void Blit(const FT_Bitmap& bitmap, int left, int top, const GlyphCell& cell, int ascent, Picture& picture) {
  for (unsigned row = 0; row < bitmap.rows; ++row)
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const int x = left + static_cast<int>(col), y = ascent - top + static_cast<int>(row);
      if (x < 0 || x >= cell.w || y < 0 || y >= cell.h) continue;
      const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + col];
      picture.At(cell.x + x, cell.y + y) = kClearWhite | static_cast<uint32_t>(coverage) << 24;
    }
}

}  // namespace

struct GlyphRasterizer::Library {
  FT_Library library = nullptr;
};

GlyphRasterizer::GlyphRasterizer() : mLibrary(std::make_unique<Library>()) {
  if (FT_Init_FreeType(&mLibrary->library) != 0) mLibrary->library = nullptr;
}

GlyphRasterizer::~GlyphRasterizer() {
  if (mLibrary->library) FT_Done_FreeType(mLibrary->library);
}

std::vector<char16_t> GlyphRasterizer::CharacterSet() {
  std::vector<char16_t> chars;
  for (char16_t c = 0x20; c <= 0x7E; ++c) chars.push_back(c);
  for (char16_t c = 0xA0; c <= 0xFF; ++c) chars.push_back(c);
  return chars;
}

bool GlyphRasterizer::Render(const std::string& facePath, int pixels, GlyphAtlas& atlas, std::string& error) {
  if (!mLibrary->library) return error = "FreeType did not start", false;
  FT_Face raw = nullptr;
  if (FT_New_Face(mLibrary->library, facePath.c_str(), 0, &raw) != 0)
    return error = "cannot open the face " + facePath + " (package fonts-dejavu-core)", false;
  FacePtr face(raw);
  if (FT_Set_Pixel_Sizes(face.get(), 0, pixels) != 0)
    return error = "the face has no size " + std::to_string(pixels), false;
  atlas.ascent = Pixels26_6(face->size->metrics.ascender);
  atlas.lineHeight = atlas.ascent + Pixels26_6(-face->size->metrics.descender);
  atlas.cells.clear();
  for (char16_t c : CharacterSet()) {
    if (FT_Load_Char(face.get(), c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
      return error = "cannot render character " + std::to_string(c), false;
    const int advance = std::max(1, Pixels26_6(face->glyph->advance.x));
    atlas.cells.push_back({c, 0, 0, advance, atlas.lineHeight, advance});
  }
  int width = 0, height = 0;
  LayOut(atlas.cells, atlas.lineHeight, width, height);
  atlas.picture = Picture(width, height, kClearWhite);
  for (const GlyphCell& cell : atlas.cells) {
    FT_Load_Char(face.get(), cell.ch, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
    Blit(face->glyph->bitmap, face->glyph->bitmap_left, face->glyph->bitmap_top, cell, atlas.ascent, atlas.picture);
  }
  atlas.kerning.clear();
  if (!FT_HAS_KERNING(face.get())) return true;
  for (const GlyphCell& a : atlas.cells)
    for (const GlyphCell& b : atlas.cells) {
      if (!Kernable(a.ch) || !Kernable(b.ch)) continue;
      FT_Vector delta{};
      FT_Get_Kerning(face.get(), FT_Get_Char_Index(face.get(), a.ch), FT_Get_Char_Index(face.get(), b.ch),
                     FT_KERNING_DEFAULT, &delta);
      if (const int offset = Pixels26_6(delta.x); offset != 0) atlas.kerning.push_back({a.ch, b.ch, offset});
    }
  return true;
}

}  // namespace Content

namespace Content {
namespace {

int LabelWidth(FT_Face face, const std::u32string& text) {
  int width = 0;
  for (char32_t c : text)
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0) width += Pixels26_6(face->glyph->advance.x);
  return width;
}

}  // namespace

bool GlyphRasterizer::DrawLabel(const std::string& facePath, const std::string& utf8, Picture& picture, int x, int y,
                                int w, int h, uint32_t colour, std::string& error) {
  if (!mLibrary->library) return error = "FreeType did not start", false;
  FT_Face raw = nullptr;
  if (FT_New_Face(mLibrary->library, facePath.c_str(), 0, &raw) != 0)
    return error = "cannot open the face " + facePath + " (package fonts-dejavu-core)", false;
  FacePtr face(raw);
  const std::u32string text = Utf16Writer::Decode(utf8);
  int size = std::max(6, h * 3 / 4);
  for (; size > 6; --size) {
    FT_Set_Pixel_Sizes(face.get(), 0, size);
    if (LabelWidth(face.get(), text) <= w) break;
  }
  FT_Set_Pixel_Sizes(face.get(), 0, size);
  const int ascent = Pixels26_6(face->size->metrics.ascender);
  const int height = ascent + Pixels26_6(-face->size->metrics.descender);
  int penX = x + (w - LabelWidth(face.get(), text)) / 2;
  const int baseline = y + (h - height) / 2 + ascent;
  Canvas canvas(picture);
  for (char32_t c : text) {
    if (FT_Load_Char(face.get(), c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int px = penX + face->glyph->bitmap_left + static_cast<int>(col);
        const int py = baseline - face->glyph->bitmap_top + static_cast<int>(row);
        if (px < x || px >= x + w || py < y || py >= y + h) continue;
        canvas.Blend(px, py, colour, bitmap.buffer[row * bitmap.pitch + col] / 255.0);
      }
    penX += Pixels26_6(face->glyph->advance.x);
  }
  return true;
}

}  // namespace Content
