// Nearest-neighbour stretch loops on the locked surface, straight or mirrored.
#include <algorithm>
#include <vector>

#include "graphics/BlitRows.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/PixelOps.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

struct StretchColor {
  bool colorized;
  uint32_t ca;
  uint32_t k[3];

  explicit StretchColor(const Color& c) : colorized(c != Color::White), ca(static_cast<uint32_t>(c.mAlpha)) {
    k[0] = static_cast<uint32_t>(c.mRed) * ca / 255;
    k[1] = static_cast<uint32_t>(c.mGreen) * ca / 255;
    k[2] = static_cast<uint32_t>(c.mBlue) * ca / 255;
  }
};

// The new pixel, or d itself where the source leaves it.
uint32_t StretchPixel(const SurfaceView& v, uint32_t d, uint32_t s, bool additive, const StretchColor& sc) {
  if (additive) {
    if (s == 0) return d;
    if (!sc.colorized) return v.AddPixels(d, s);
    uint32_t terms[3];
    for (int c = 0; c < 3; ++c) terms[c] = (((s & v.mask[c]) >> v.shift[c]) * sc.k[c]) >> 8;
    return v.AddTerms(d, terms);
  }
  const uint32_t a = sc.colorized ? (s >> 24) * sc.ca / 255 : s >> 24;
  if (a == 0) return d;
  const uint32_t rest = 256 - a;
  uint32_t out = sc.colorized ? 0 : s;
  for (int c = 0; c < 3; ++c) {
    const uint32_t m = v.mask[c];
    out += sc.colorized ? (((d & m) * rest + (s & m) * sc.k[c]) >> 8) & m : (((d & m) * rest) >> 8) & m;
  }
  return out;
}

// The source column of every destination column, left to right, and the source line of every row;
// positions step in 16.16 from the area's corner.
struct StretchMap {
  std::vector<int> columns;
  std::vector<int> lines;

  StretchMap(const Rect& d, const DRect& area, int srcWidth, int srcHeight, bool mirrored) {
    using PixelOps::TruncInt;
    const int64_t ystart = TruncInt(area.mY * 65536);
    const int64_t xstart = TruncInt(area.mX * 65536);
    const int64_t xstep = TruncInt(area.mWidth * 65536 / d.mWidth);
    const int64_t ystep = TruncInt(area.mHeight * 65536 / d.mHeight);
    columns.resize(static_cast<size_t>(d.mWidth));
    for (int i = 0; i < d.mWidth; ++i)
      columns[mirrored ? d.mWidth - 1 - i : i] =
          std::clamp(static_cast<int>((xstart + i * xstep) >> 16), 0, srcWidth - 1);
    for (int r = 0; r < d.mHeight; ++r)
      lines.push_back(std::clamp(static_cast<int>((ystart + r * ystep) >> 16), 0, srcHeight - 1));
  }

  // The columns read one source pixel after another.
  bool Straight() const {
    for (size_t i = 1; i < columns.size(); ++i)
      if (columns[i] != columns[0] + static_cast<int>(i)) return false;
    return true;
  }
};

template <typename T, typename Fetch>
void Stretch(const SurfaceView& v, Fetch fetch, int srcWidth, const Rect& d, const StretchMap& map, bool additive,
             const StretchColor& sc) {
  for (int r = 0; r < d.mHeight; ++r) {
    const size_t line = static_cast<size_t>(map.lines[r]) * srcWidth;
    T* row = v.Row<T>(d.mY + r) + d.mX;
    for (int i = 0; i < d.mWidth; ++i)
      row[i] = static_cast<T>(StretchPixel(v, row[i], fetch(line + map.columns[i]), additive, sc));
  }
}

// The plain normal stretch onto 8-bit channels at bits 16, 8 and 0 of 32-bit pixels: each row's
// source pixels, picked into a row unless they lie one after another, drawn as the surface alpha loop
// draws them.
template <typename Fetch>
void StretchRows32(const SurfaceView& v, Fetch fetch, const uint32_t* direct, int srcWidth, const Rect& d,
                   const StretchMap& map) {
  const bool straight = direct && map.Straight();
  std::vector<uint32_t> picked(straight ? 0 : static_cast<size_t>(d.mWidth));
  for (int r = 0; r < d.mHeight; ++r) {
    const size_t line = static_cast<size_t>(map.lines[r]) * srcWidth;
    const uint32_t* s = picked.data();
    if (straight) {
      s = direct + line + map.columns[0];
    } else {
      for (int i = 0; i < d.mWidth; ++i) picked[i] = fetch(line + map.columns[i]);
    }
    BlitRows::KeepAndAddUnlessClear(v.Row<uint32_t>(d.mY + r) + d.mX, s, d.mWidth);
  }
}

bool HasByteChannels32(const SurfaceView& v) {
  return v.bitsPerPixel == 32 && v.mask[0] == 0xFF0000u && v.mask[1] == 0xFF00u && v.mask[2] == 0xFFu;
}

}  // namespace

void DDImage::StretchLoops(MemoryImage* src, const Rect& dest, const DRect& srcArea, const Color& color, int drawMode,
                           bool mirrored) {
  const Rect d = dest.Intersect(Rect(0, 0, mWidth, mHeight));
  if (d.mWidth <= 0 || d.mHeight <= 0 || src->mWidth <= 0 || src->mHeight <= 0) return;
  if (!BeginSurfaceDraw(false)) return;
  const uint32_t* native = src->BuildDisplayFormatData(mDDInterface);
  if (!native) {
    UnlockSurface();
    return;
  }
  const SurfaceView v = View();
  const StretchColor sc(color);
  const bool additive = drawMode != 0;
  const StretchMap map(d, srcArea, src->mWidth, src->mHeight, mirrored);
  const bool palettized = src->mColorTable && src->mColorIndices;
  auto run = [&](auto fetch) {
    if (!additive && !sc.colorized && HasByteChannels32(v)) {
      StretchRows32(v, fetch, palettized ? nullptr : native, src->mWidth, d, map);
    } else if (v.bitsPerPixel == 16) {
      Stretch<uint16_t>(v, fetch, src->mWidth, d, map, additive, sc);
    } else {
      Stretch<uint32_t>(v, fetch, src->mWidth, d, map, additive, sc);
    }
  };
  if (palettized) {
    const uint8_t* idx = src->mColorIndices.get();
    run([native, idx](size_t i) { return native[idx[i]]; });
  } else {
    run([native](size_t i) { return native[i]; });
  }
  UnlockSurface();
  FreeNonSurfaceData();
}

}  // namespace Velk
