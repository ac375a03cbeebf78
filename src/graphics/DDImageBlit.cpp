// Blits of a memory image onto the locked surface: hardware Blt, plain copy, run-length blends,
// volatile blends and additive blits, straight or mirrored.
#include <algorithm>

#include "graphics/BlitRows.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/PixelOps.h"
#include "graphics/RunWalk.h"
#include "graphics/SourcePixels.h"
#include "graphics/SurfaceBlitClip.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

uint32_t Fold(uint32_t v) { return (v >> 16) | (v & 0xFFFF); }

bool IsSpreadable(const SurfaceView& v) { return v.mask[1] == 0x07E0 || v.mask[1] == 0x03E0; }

uint32_t SpreadMask(const SurfaceView& v) { return v.mask[1] == 0x03E0 ? 0x03E07C1Fu : 0x07E0F81Fu; }

struct BlitColor {
  bool colorized;
  bool grey;
  uint32_t ca;
  uint32_t k[3];

  explicit BlitColor(const Color& c)
      : colorized(c != Color::White), ca(static_cast<uint32_t>(c.mAlpha)) {
    k[0] = static_cast<uint32_t>(c.mRed) * ca / 255;
    k[1] = static_cast<uint32_t>(c.mGreen) * ca / 255;
    k[2] = static_cast<uint32_t>(c.mBlue) * ca / 255;
    grey = k[0] == k[1] && k[1] == k[2];
  }
};

// Walks each source row run by run; runs the skip test rejects are passed over whole, the others are
// drawn pixel by pixel with op(d, s, opaqueRun).
template <typename T, typename Fetch, typename Skip, typename Op>
void RunLoop(const SurfaceView& v, const uint8_t* runs, Fetch fetch, int srcWidth, int x, int y, const Rect& s,
             bool mirrored, Skip skip, Op op) {
  for (int r = 0; r < s.mHeight; ++r) {
    T* row = v.Row<T>(y + r);
    const size_t base = static_cast<size_t>(s.mY + r) * srcWidth + s.mX;
    for (int i = 0; i < s.mWidth;) {
      const int run = std::max(1, std::min<int>(runs[base + i], s.mWidth - i));
      const uint32_t first = fetch(base + i);
      if (!skip(first)) {
        const bool opaque = (first >> 24) == 255;
        for (int j = i; j < i + run; ++j) {
          T& d = row[mirrored ? x + s.mWidth - 1 - j : x + j];
          d = static_cast<T>(op(static_cast<uint32_t>(d), fetch(base + j), opaque));
        }
      }
      i += run;
    }
  }
}

// The 32-bit rows of a direct source, not mirrored: like RunLoop, but each drawn run goes whole to
// rows(d, s, n, opaqueRun).
template <typename Skip, typename Rows>
void RunRows32(const SurfaceView& v, const uint8_t* runs, const uint32_t* src, int srcWidth, int x, int y,
               const Rect& s, Skip skip, Rows rows) {
  for (int r = 0; r < s.mHeight; ++r) {
    uint32_t* row = v.Row<uint32_t>(y + r) + x;
    const size_t base = static_cast<size_t>(s.mY + r) * srcWidth + s.mX;
    for (int i = 0; i < s.mWidth;) {
      const int run = std::max(1, std::min<int>(runs[base + i], s.mWidth - i));
      const uint32_t first = src[base + i];
      if (!skip(first)) rows(row + i, src + base + i, run, (first >> 24) == 255);
      i += run;
    }
  }
}

// Additive 32-bit rows of a direct source, not mirrored: black runs of 16 pixels or more are
// skipped; everything else goes to the row routine, which leaves black pixels as they are (the same
// bytes as skipping them), so a dark source is not cut into many short runs.
void AdditiveRows32(const SurfaceView& v, const uint8_t* runs, const uint32_t* src, int srcWidth, int x, int y,
                    const Rect& s) {
  for (int r = 0; r < s.mHeight; ++r) {
    uint32_t* row = v.Row<uint32_t>(y + r) + x;
    const uint32_t* p = src + static_cast<size_t>(s.mY + r) * srcWidth + s.mX;
    WalkRuns<16>(
        runs + (p - src), s.mWidth, [p](int i, int) { return (p[i] & 0xFFFFFFu) == 0; },
        [row, p](int i, int n) { BlitRows::AddClampedUnlessBlack(row + i, p + i, n); });
  }
}

bool IsDirect(const MemoryImage* src) { return !(src->mColorTable && src->mColorIndices); }

// Channels of 8 bits at 16, 8 and 0 whose additive tables clamp at 255: sums may saturate directly.
bool HasClampedBytes(const SurfaceView& v) {
  for (int c = 0; c < 3; ++c)
    if (v.mask[c] != 0xFFu << (16 - 8 * c) || v.shift[c] != 16 - 8 * c || v.width[c] != 8 ||
        !PixelOps::IsClampTable(v.addTable[c], 511, 255))
      return false;
  return true;
}

template <typename Fn>
void WithNative(MemoryImage* src, const uint32_t* native, Fn&& fn) {
  if (src->mColorTable && src->mColorIndices) {
    fn(PaletteFetch{native, src->mColorIndices.get()});
  } else {
    fn(BitsFetch{native});
  }
}

uint32_t Generic(const SurfaceView& v, uint32_t d, uint32_t s, uint32_t keep, const uint32_t (&k)[3]) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) out += (((d & v.mask[c]) * keep + (s & v.mask[c]) * k[c]) >> 8) & v.mask[c];
  return out;
}

uint32_t KeepOnly(const SurfaceView& v, uint32_t d, uint32_t keep) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) out += (((d & v.mask[c]) * keep) >> 8) & v.mask[c];
  return out;
}

// The blend of one drawn pixel of a normal blit, for every depth, layout and colour.
template <typename T, typename Fetch>
void NormalRuns(const SurfaceView& v, const uint8_t* runs, Fetch fetch, int srcWidth, int x, int y, const Rect& s,
                bool mirrored, const BlitColor& bc) {
  auto transparent = [](uint32_t p) { return (p >> 24) == 0; };
  auto go = [&](auto op) { RunLoop<T>(v, runs, fetch, srcWidth, x, y, s, mirrored, transparent, op); };
  const uint32_t ca = bc.ca;
  if (sizeof(T) == 2 && IsSpreadable(v) && (!bc.colorized || bc.grey)) {
    const uint32_t S = SpreadMask(v);
    auto spread = [S](uint32_t p) { return (p | (p << 16)) & S; };
    if (!bc.colorized) {
      go([=](uint32_t d, uint32_t src, bool opaque) {
        if (opaque) return src & 0xFFFF;
        return Fold(((spread(d) * ((256 - (src >> 24)) >> 3)) >> 5) & S) + (src & 0xFFFF);
      });
    } else {
      const uint32_t f = bc.k[0] >> 3;
      go([=](uint32_t d, uint32_t src, bool opaque) {
        if (opaque && ca == 255) return Fold(((spread(src & 0xFFFF) * f) >> 5) & S);
        const uint32_t keep = (256 - (src >> 24) * ca / 255) >> 3;
        return Fold(((spread(src & 0xFFFF) * f + spread(d) * keep) >> 5) & S);
      });
    }
    return;
  }
  if (!bc.colorized) {
    if (sizeof(T) == 4) {
      go([](uint32_t d, uint32_t src, bool opaque) {
        if (opaque) return src;
        const uint32_t keep = 256 - (src >> 24);
        return ((((d & 0xFF00u) * keep) >> 8) & 0xFF00u) + ((((d & 0xFF00FFu) * keep) >> 8) & 0xFF00FFu) + src;
      });
    } else {
      go([&v](uint32_t d, uint32_t src, bool opaque) {
        if (opaque) return src & 0xFFFF;
        return KeepOnly(v, d, 256 - (src >> 24)) + (src & 0xFFFF);
      });
    }
    return;
  }
  go([&v, &bc, ca](uint32_t d, uint32_t src, bool opaque) {
    if (opaque && ca == 255) return Generic(v, 0, src, 0, bc.k);
    return Generic(v, d, src, 256 - (src >> 24) * ca / 255, bc.k);
  });
}

}  // namespace

void DDImage::SurfaceBlit(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) return;
  mem->ScanAlpha();
  auto* dd = dynamic_cast<DDImage*>(mem);
  const bool white = color == Color::White;
  if (mem->mIsVolatile && !(dd && dd->mSurface) && !mNoLock && white) {
    VolatileBlend(mem, x, y, srcRect);
    return;
  }
  if (!mem->mHasAlpha && white) {
    // A destination without a surface cannot take a hardware copy.
    if (dd && dd->mSurface && (mVideoMemory || !dd->mVideoMemory) && GetSurface()) {
      DirectDrawCopy(dd, RECT{x, y, x + srcRect.mWidth, y + srcRect.mHeight},
                     RECT{srcRect.mX, srcRect.mY, srcRect.mX + srcRect.mWidth, srcRect.mY + srcRect.mHeight});
      return;
    }
    PlainCopy(mem, x, y, srcRect);
    return;
  }
  BlitRuns(mem, x, y, srcRect, color, false);
}

void DDImage::SurfaceBlitAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) BlitAdditiveRuns(mem, x, y, srcRect, color, false);
}

void DDImage::SurfaceBlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) {
    mem->ScanAlpha();
    BlitRuns(mem, x, y, srcRect, color, true);
  }
}

void DDImage::SurfaceBlitMirroredAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) BlitAdditiveRuns(mem, x, y, srcRect, color, true);
}

void DDImage::PlainCopy(MemoryImage* src, int x, int y, const Rect& srcRect) {
  Rect s = srcRect;
  if (!ClipSurfaceBlit(x, y, s, mWidth, mHeight, src->mWidth, src->mHeight, false)) return;
  if (!BeginSurfaceDraw(true)) return;
  const uint32_t* native = src->BuildDisplayFormatData(mDDInterface);
  if (native) {
    const SurfaceView v = View();
    const bool skipClear = src->mHasTrans;
    WithNative(src, native, [&](auto fetch) {
      for (int r = 0; r < s.mHeight; ++r) {
        const size_t base = static_cast<size_t>(s.mY + r) * src->mWidth + s.mX;
        if (v.bitsPerPixel == 16) {
          uint16_t* row = v.Row<uint16_t>(y + r) + x;
          for (int i = 0; i < s.mWidth; ++i) {
            const uint32_t p = fetch(base + i);
            if (!skipClear || (p >> 24)) row[i] = static_cast<uint16_t>(p);
          }
        } else {
          uint32_t* row = v.Row<uint32_t>(y + r) + x;
          for (int i = 0; i < s.mWidth; ++i) {
            const uint32_t p = fetch(base + i);
            if (!skipClear || (p >> 24)) row[i] = p;
          }
        }
      }
    });
  }
  UnlockSurface();
}

void DDImage::BlitRuns(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, bool mirrored) {
  Rect s = srcRect;
  if (mNoLock || !ClipSurfaceBlit(x, y, s, mWidth, mHeight, src->mWidth, src->mHeight, mirrored)) return;
  if (!BeginSurfaceDraw(true)) return;
  const uint32_t* native = src->BuildDisplayFormatData(mDDInterface);
  const uint8_t* runs = native ? src->BuildAlphaRuns() : nullptr;
  const SurfaceView v = View();
  const BlitColor bc(color);
  if (runs && v.bitsPerPixel == 32 && !mirrored && !bc.colorized && IsDirect(src)) {
    RunRows32(v, runs, native, src->mWidth, x, y, s, [](uint32_t p) { return (p >> 24) == 0; },
              [](uint32_t* d, const uint32_t* p, int n, bool opaque) {
                opaque ? BlitRows::Copy(d, p, n, {}) : BlitRows::KeepAndAdd(d, p, n);
              });
  } else if (runs) {
    WithNative(src, native, [&](auto fetch) {
      if (v.bitsPerPixel == 16) {
        NormalRuns<uint16_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, bc);
      } else {
        NormalRuns<uint32_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, bc);
      }
    });
  }
  UnlockSurface();
}

void DDImage::BlitAdditiveRuns(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color,
                               bool mirrored) {
  Rect s = srcRect;
  if (mNoLock || !ClipSurfaceBlit(x, y, s, mWidth, mHeight, src->mWidth, src->mHeight, mirrored)) return;
  if (!BeginSurfaceDraw(true)) return;
  const uint32_t* native = src->BuildDisplayFormatData(mDDInterface);
  src->ScanAlpha();
  const uint8_t* runs = native ? src->BuildAdditiveRuns(mDDInterface) : nullptr;
  const SurfaceView v = View();
  const BlitColor bc(color);
  if (runs && v.bitsPerPixel == 32 && !mirrored && !bc.colorized && IsDirect(src) && HasClampedBytes(v)) {
    AdditiveRows32(v, runs, native, src->mWidth, x, y, s);
  } else if (runs) {
    auto black = [](uint32_t p) { return (p & 0xFFFFFF) == 0; };
    auto plain = [&v](uint32_t d, uint32_t p, bool) { return v.AddPixels(d, p); };
    auto tinted = [&v, &bc](uint32_t d, uint32_t p, bool) {
      uint32_t terms[3];
      for (int c = 0; c < 3; ++c) terms[c] = (((p & v.mask[c]) >> v.shift[c]) * bc.k[c]) >> 8;
      return v.AddTerms(d, terms);
    };
    WithNative(src, native, [&](auto fetch) {
      if (v.bitsPerPixel == 16) {
        bc.colorized ? RunLoop<uint16_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, black, tinted)
                     : RunLoop<uint16_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, black, plain);
      } else {
        bc.colorized ? RunLoop<uint32_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, black, tinted)
                     : RunLoop<uint32_t>(v, runs, fetch, src->mWidth, x, y, s, mirrored, black, plain);
      }
    });
  }
  UnlockSurface();
}

// The source's own ARGB pixels blended straight in, without display-format data.
void DDImage::VolatileBlend(MemoryImage* src, int x, int y, const Rect& srcRect) {
  Rect s = srcRect;
  if (!ClipSurfaceBlit(x, y, s, mWidth, mHeight, src->mWidth, src->mHeight, false)) return;
  if (!BeginSurfaceDraw(true)) return;
  const SurfaceView v = View();
  const bool rgb = DDInterface::sRgbOrder;
  auto blend = [&](uint32_t d, uint32_t p) -> uint32_t {
    const uint32_t a = p >> 24;
    if (v.bitsPerPixel == 16 && rgb && IsSpreadable(v)) {
      const bool is565 = v.mask[1] == 0x07E0;
      const uint32_t S = SpreadMask(v);
      const uint32_t sp = is565 ? ((p & 0xFC00) << 11) + ((p >> 3) & 0x1F) + ((p >> 8) & 0xF800)
                                : ((p >> 3) & 0x1F) + ((p >> 9) & 0x7C00) + ((p & 0xF800) << 10);
      const uint32_t D = (d | (d << 16)) & S;
      return Fold(((((sp - D) * (a >> 3)) >> 5) + D) & S);
    }
    if (v.bitsPerPixel == 32 && rgb) {
      return (((((p & 0xFF00FFu) - (d & 0xFF00FFu)) * a >> 8) + (d & 0xFF00FFu)) & 0xFF00FFu) |
             (((((p & 0xFF00u) - (d & 0xFF00u)) * a >> 8) + (d & 0xFF00u)) & 0xFF00u);
    }
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
      const uint32_t m = v.mask[c];
      const uint32_t sc = (p >> (16 - 8 * c)) & 0xFF;
      const uint32_t add = v.bitsPerPixel == 16 ? (sc * a * m) >> 8 : ((sc * a) >> 8) * m;
      out += (((d & m) * (256 - a) + add + (m >> 1)) >> 8) & m;
    }
    return out;
  };
  auto draw = [&](auto fetch) {
    for (int r = 0; r < s.mHeight; ++r) {
      const size_t base = static_cast<size_t>(s.mY + r) * src->mWidth + s.mX;
      for (int i = 0; i < s.mWidth; ++i) {
        if (v.bitsPerPixel == 16) {
          uint16_t& d = v.Row<uint16_t>(y + r)[x + i];
          d = static_cast<uint16_t>(blend(d, fetch(base + i)));
        } else {
          uint32_t& d = v.Row<uint32_t>(y + r)[x + i];
          d = blend(d, fetch(base + i));
        }
      }
    }
  };
  WithSourcePixels(src, draw);
  UnlockSurface();
}

}  // namespace Velk
