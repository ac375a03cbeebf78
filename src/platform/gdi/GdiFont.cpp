#include "platform/gdi/GdiFont.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/gdi/FaceFiles.h"
#include "platform/gdi/FreeTypeLibrary.h"

namespace {

// The em size when a font asks for none.
constexpr int kDefaultEmPixels = 16;
// FreeType refuses larger sizes.
constexpr int kMaxEmPixels = 0xFFFF;

// Units of 1/64 pixel to whole pixels, rounded.
int RoundPixels(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// The next code point of UTF-16 text; a lone surrogate stands as it is.
uint32_t NextCodePoint(const wchar_t* text, int count, int& i) {
  uint32_t unit = static_cast<uint32_t>(text[i++]) & 0xFFFF;
  if (unit >= 0xD800 && unit <= 0xDBFF && i < count) {
    uint32_t low = static_cast<uint32_t>(text[i]) & 0xFFFF;
    if (low >= 0xDC00 && low <= 0xDFFF) {
      ++i;
      return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  return unit;
}

uint8_t Mix(uint32_t src, uint32_t dst, uint32_t coverage) {
  return static_cast<uint8_t>((src * coverage + dst * (255 - coverage) + 127) / 255);
}

// Blends the colour over one pixel by coverage 0..255; the pixel's top byte stays.
void BlendPixel(uint32_t& dst, uint32_t pixel, uint32_t coverage) {
  if (coverage == 0) return;
  uint32_t out = dst & 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= static_cast<uint32_t>(Mix((pixel >> shift) & 0xFF, (dst >> shift) & 0xFF, coverage)) << shift;
  dst = out;
}

void FillSolid(const TextTarget& target, int left, int top, int right, int bottom, uint32_t pixel) {
  const int y0 = std::max<int>(top, target.clip.top), y1 = std::min<int>(bottom, target.clip.bottom);
  const int x0 = std::max<int>(left, target.clip.left), x1 = std::min<int>(right, target.clip.right);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) BlendPixel(target.pixels[static_cast<ptrdiff_t>(y) * target.pitch + x], pixel, 255);
}

}  // namespace

GdiFont::GdiFont(const LOGFONTA& description, bool stock) : GdiObject(stock), mDescription(description) {
  mDescription.lfFaceName[LF_FACESIZE - 1] = '\0';
  const std::string path =
      FaceFilePath(mDescription.lfFaceName, mDescription.lfWeight >= FW_SEMIBOLD, mDescription.lfItalic != 0);
  FreeTypeLibrary& library = FreeTypeLibrary::Get();
  std::lock_guard<std::mutex> lock(library.Mutex());
  if (!library.Handle() || FT_New_Face(library.Handle(), path.c_str(), 0, &mFace) != 0) {
    mFace = nullptr;
    return;
  }
  SetPixelSize();
}

GdiFont::~GdiFont() {
  if (!mFace) return;
  std::lock_guard<std::mutex> lock(FreeTypeLibrary::Get().Mutex());
  FT_Done_Face(mFace);
}

// A negative height asks for that em size, a positive one for that cell height (ascent + descent).
void GdiFont::SetPixelSize() {
  const int64_t height = mDescription.lfHeight;
  int64_t em = kDefaultEmPixels;
  if (height < 0) {
    em = -height;
  } else if (height > 0) {
    const int64_t cell = mFace->ascender - mFace->descender;
    em = cell > 0 ? (height * mFace->units_per_EM + cell / 2) / cell : height;
  }
  em = std::clamp<int64_t>(em, 1, kMaxEmPixels);
  if (FT_Set_Pixel_Sizes(mFace, 0, static_cast<FT_UInt>(em)) != 0) {
    FT_Done_Face(mFace);
    mFace = nullptr;
    return;
  }
  const FT_Size_Metrics& m = mFace->size->metrics;
  mAscent = RoundPixels(m.ascender);
  mDescent = RoundPixels(-m.descender);
  const FT_Fixed scale = m.y_scale;
  mUnderlineTop = RoundPixels(-FT_MulFix(mFace->underline_position, scale));
  mUnderlineThickness = std::max(1, RoundPixels(FT_MulFix(mFace->underline_thickness, scale)));
}

const GdiFont::CachedGlyph& GdiFont::Glyph(uint32_t codePoint) const {
  auto [it, added] = mGlyphs.try_emplace(codePoint);
  CachedGlyph& glyph = it->second;
  // A glyph that cannot be loaded stays empty: no advance, no ink.
  if (!added || FT_Load_Char(mFace, codePoint, FT_LOAD_TARGET_NORMAL | FT_LOAD_RENDER) != 0) return glyph;
  const FT_GlyphSlot slot = mFace->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.advance = RoundPixels(slot->advance.x);
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || !bitmap.buffer) return glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
  const uint32_t maxGray = bitmap.num_grays > 1 ? static_cast<uint32_t>(bitmap.num_grays - 1) : 255u;
  for (int y = 0; y < glyph.rows; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    for (int x = 0; x < glyph.width; ++x)
      glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = static_cast<uint8_t>(row[x] * 255u / maxGray);
  }
  return glyph;
}

void GdiFont::Blend(const TextTarget& target, const CachedGlyph& glyph, int left, int top, uint32_t pixel) {
  const int y0 = std::max<int>(top, target.clip.top), y1 = std::min<int>(top + glyph.rows, target.clip.bottom);
  const int x0 = std::max<int>(left, target.clip.left), x1 = std::min<int>(left + glyph.width, target.clip.right);
  for (int y = y0; y < y1; ++y) {
    const uint8_t* row = glyph.coverage.data() + static_cast<ptrdiff_t>(y - top) * glyph.width;
    uint32_t* out = target.pixels + static_cast<ptrdiff_t>(y) * target.pitch;
    for (int x = x0; x < x1; ++x) BlendPixel(out[x], pixel, row[x - left]);
  }
}

int GdiFont::LineWidth(const wchar_t* text, int count) const {
  if (!mFace) return 0;
  std::lock_guard<std::mutex> lock(FreeTypeLibrary::Get().Mutex());
  int width = 0;
  for (int i = 0; i < count;) width += Glyph(NextCodePoint(text, count, i)).advance;
  return width;
}

void GdiFont::Draw(const TextTarget& target, int x, int y, const wchar_t* text, int count, uint32_t pixel) const {
  if (!mFace || !target.pixels) return;
  std::lock_guard<std::mutex> lock(FreeTypeLibrary::Get().Mutex());
  const int baseline = y + mAscent;
  int pen = x;
  for (int i = 0; i < count;) {
    const CachedGlyph& glyph = Glyph(NextCodePoint(text, count, i));
    Blend(target, glyph, pen + glyph.left, baseline - glyph.top, pixel);
    pen += glyph.advance;
  }
  if (mDescription.lfUnderline) {
    const int top = baseline + mUnderlineTop - mUnderlineThickness / 2;
    FillSolid(target, x, top, pen, top + mUnderlineThickness, pixel);
  }
}
