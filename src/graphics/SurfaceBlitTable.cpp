#include "graphics/SurfaceBlitTable.h"

#include <algorithm>
#include <iterator>

#include "graphics/BlitRows.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/RunWalk.h"
#include "graphics/SourcePixels.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

uint32_t Fold(uint32_t v) { return (v >> 16) | (v & 0xFFFF); }

bool IsSpreadable(const SurfaceView& v) { return v.mask[1] == 0x07E0 || v.mask[1] == 0x03E0; }

uint32_t SpreadMask(const SurfaceView& v) { return v.mask[1] == 0x03E0 ? 0x03E07C1Fu : 0x07E0F81Fu; }

bool IsDirect(const MemoryImage& src) { return !(src.mColorTable && src.mColorIndices); }

bool HasClampedBytes(const SurfaceView& v) {
  for (int c = 0; c < 3; ++c)
    if (v.mask[c] != 0xFFu << (16 - 8 * c) || v.shift[c] != 16 - 8 * c || v.width[c] != 8 ||
        !PixelOps::IsClampTable(v.addTable[c], 511, 255))
      return false;
  return true;
}

template <typename Fn>
void WithNative(const SurfaceBlitJob& j, Fn&& fn) {
  if (IsDirect(j.src)) {
    fn(BitsFetch{j.native});
  } else {
    fn(PaletteFetch{j.native, j.src.mColorIndices.get()});
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

// The job's placement copied out, so that the compiler need not read it again after every pixel
// store (the stores could alias the job's ints).
struct Place {
  Rect s;
  int x;
  int y;
  int srcWidth;
  const uint8_t* runs;
  bool mirrored;
  explicit Place(const SurfaceBlitJob& j)
      : s(j.s), x(j.x), y(j.y), srcWidth(j.src.mWidth), runs(j.runs), mirrored(j.mirrored) {}
};

// ---- Run loops: each source row is walked run by run; runs the pixel rule skips are passed over
// whole, the others drawn pixel by pixel with rule(d, s, opaqueRun).

template <typename T, typename Rule>
void Runs(const SurfaceBlitJob& j) {
  const Rule rule(j);
  const SurfaceView& v = j.view;
  const Place at(j);
  const Rect& s = at.s;
  WithNative(j, [&](auto fetch) {
    for (int r = 0; r < s.mHeight; ++r) {
      T* row = v.Row<T>(at.y + r);
      const size_t base = static_cast<size_t>(s.mY + r) * at.srcWidth + s.mX;
      for (int i = 0; i < s.mWidth;) {
        const int run = RunAt(at.runs + base, i, s.mWidth);
        const uint32_t first = fetch(base + i);
        if (!Rule::Skip(first)) {
          const bool opaque = (first >> 24) == 255;
          for (int k = i; k < i + run; ++k) {
            T& d = row[at.mirrored ? at.x + s.mWidth - 1 - k : at.x + k];
            d = static_cast<T>(rule(static_cast<uint32_t>(d), fetch(base + k), opaque));
          }
        }
        i += run;
      }
    }
  });
}

struct Over {
  static bool Skip(uint32_t p) { return (p >> 24) == 0; }
};

struct Added {
  static bool Skip(uint32_t p) { return (p & 0xFFFFFF) == 0; }
};

// 5-6-5 or 5-5-5, uncoloured: the destination weighed in eighths in one spread word.
struct SpreadOver : Over {
  uint32_t S;
  explicit SpreadOver(const SurfaceBlitJob& j) : S(SpreadMask(j.view)) {}
  uint32_t operator()(uint32_t d, uint32_t src, bool opaque) const {
    if (opaque) return src & 0xFFFF;
    return Fold(((((d | (d << 16)) & S) * ((256 - (src >> 24)) >> 3)) >> 5) & S) + (src & 0xFFFF);
  }
};

// 5-6-5 or 5-5-5, grey: source and destination weighed in eighths in one spread word.
struct SpreadGreyOver : Over {
  uint32_t S;
  uint32_t f;
  uint32_t ca;
  explicit SpreadGreyOver(const SurfaceBlitJob& j) : S(SpreadMask(j.view)), f(j.color.k[0] >> 3), ca(j.color.ca) {}
  uint32_t Spread(uint32_t p) const { return (p | (p << 16)) & S; }
  uint32_t operator()(uint32_t d, uint32_t src, bool opaque) const {
    if (opaque && ca == 255) return Fold(((Spread(src & 0xFFFF) * f) >> 5) & S);
    const uint32_t keep = (256 - (src >> 24) * ca / 255) >> 3;
    return Fold(((Spread(src & 0xFFFF) * f + Spread(d) * keep) >> 5) & S);
  }
};

struct Over16 : Over {
  const SurfaceView& v;
  explicit Over16(const SurfaceBlitJob& j) : v(j.view) {}
  uint32_t operator()(uint32_t d, uint32_t src, bool opaque) const {
    if (opaque) return src & 0xFFFF;
    return KeepOnly(v, d, 256 - (src >> 24)) + (src & 0xFFFF);
  }
};

struct Over32 : Over {
  explicit Over32(const SurfaceBlitJob&) {}
  uint32_t operator()(uint32_t d, uint32_t src, bool opaque) const {
    if (opaque) return src;
    const uint32_t keep = 256 - (src >> 24);
    return ((((d & 0xFF00u) * keep) >> 8) & 0xFF00u) + ((((d & 0xFF00FFu) * keep) >> 8) & 0xFF00FFu) + src;
  }
};

struct TintedOver : Over {
  const SurfaceView& v;
  const SurfaceBlitColor& c;
  explicit TintedOver(const SurfaceBlitJob& j) : v(j.view), c(j.color) {}
  uint32_t operator()(uint32_t d, uint32_t src, bool opaque) const {
    if (opaque && c.ca == 255) return Generic(v, 0, src, 0, c.k);
    return Generic(v, d, src, 256 - (src >> 24) * c.ca / 255, c.k);
  }
};

struct PlainAdd : Added {
  const SurfaceView& v;
  explicit PlainAdd(const SurfaceBlitJob& j) : v(j.view) {}
  uint32_t operator()(uint32_t d, uint32_t p, bool) const { return v.AddPixels(d, p); }
};

struct TintedAdd : Added {
  const SurfaceView& v;
  const SurfaceBlitColor& c;
  explicit TintedAdd(const SurfaceBlitJob& j) : v(j.view), c(j.color) {}
  uint32_t operator()(uint32_t d, uint32_t p, bool) const {
    uint32_t terms[3];
    for (int ch = 0; ch < 3; ++ch) terms[ch] = (((p & v.mask[ch]) >> v.shift[ch]) * c.k[ch]) >> 8;
    return v.AddTerms(d, terms);
  }
};

// How the uncoloured 32-bit normal rows draw a run, by its first pixel.
enum class RunDraw : uint8_t { Skip, Copy, Blend };

RunDraw DrawOf(uint32_t first) {
  const uint32_t a = first >> 24;
  return a == 0 ? RunDraw::Skip : a == 255 ? RunDraw::Copy : RunDraw::Blend;
}

// The 32-bit rows of a direct source, not mirrored, uncoloured: runs drawn alike one after another go
// whole to one call of the wide copy or over-blend row (each draws every pixel by itself, so the
// bytes are those of one call a run). Nothing is read or asked for ahead: reading the next runs'
// first pixels before the call cost 8 %, and hints for the rows below took the line buffers the
// processor's own prefetcher streams them with (3000 to 2240 MPix/s).
void OverRows32(const SurfaceBlitJob& j) {
  const Place at(j);
  const Rect& s = at.s;
  for (int r = 0; r < s.mHeight; ++r) {
    uint32_t* row = j.view.Row<uint32_t>(at.y + r) + at.x;
    const size_t base = static_cast<size_t>(s.mY + r) * at.srcWidth + s.mX;
    const uint8_t* runs = at.runs + base;
    const uint32_t* p = j.native + base;
    for (int i = 0; i < s.mWidth;) {
      const RunDraw draw = DrawOf(p[i]);
      int end = i + RunAt(runs, i, s.mWidth);
      // A run longer than a byte holds goes on where its 255th pixel is not its last.
      while (end < s.mWidth && runs[end - 1] > 1) end += RunAt(runs, end, s.mWidth);
      if (draw == RunDraw::Copy) BlitRows::Copy(row + i, p + i, end - i, {});
      if (draw == RunDraw::Blend) BlitRows::KeepAndAdd(row + i, p + i, end - i);
      i = end;
    }
  }
}

// Additive 32-bit rows of a direct source, not mirrored: black runs of 16 pixels or more are
// skipped; everything else goes to the row routine, which leaves black pixels as they are (the same
// bytes as skipping them), so a dark source is not cut into many short runs.
void AddedRows32(const SurfaceBlitJob& j) {
  const Place at(j);
  const Rect& s = at.s;
  const uint32_t* src = j.native;
  for (int r = 0; r < s.mHeight; ++r) {
    uint32_t* row = j.view.Row<uint32_t>(at.y + r) + at.x;
    const uint32_t* p = src + static_cast<size_t>(s.mY + r) * at.srcWidth + s.mX;
    WalkRuns<16>(
        at.runs + (p - src), s.mWidth, [p](int i, int) { return (p[i] & 0xFFFFFFu) == 0; },
        [row, p](int i, int n) { BlitRows::AddClampedUnlessBlack(row + i, p + i, n); });
  }
}

// ---- Plain copy: every pixel of the rectangle, except the clear ones of a keyed source.

template <typename T>
void CopyPixels(const SurfaceBlitJob& j) {
  const Place at(j);
  const Rect& s = at.s;
  const bool skipClear = j.src.mHasTrans;
  WithNative(j, [&](auto fetch) {
    for (int r = 0; r < s.mHeight; ++r) {
      const size_t base = static_cast<size_t>(s.mY + r) * at.srcWidth + s.mX;
      T* row = j.view.Row<T>(at.y + r) + at.x;
      for (int i = 0; i < s.mWidth; ++i) {
        const uint32_t p = fetch(base + i);
        if (!skipClear || (p >> 24)) row[i] = static_cast<T>(p);
      }
    }
  });
}

// ---- Volatile blend: the source's ARGB pixels, not the display format, blended pixel by pixel.

template <typename T, typename Blend>
void VolatilePixels(const SurfaceBlitJob& j) {
  const Blend blend{j.view};
  const Place at(j);
  const Rect& s = at.s;
  WithSourcePixels(&j.src, [&](auto fetch) {
    for (int r = 0; r < s.mHeight; ++r) {
      const size_t base = static_cast<size_t>(s.mY + r) * at.srcWidth + s.mX;
      T* row = j.view.Row<T>(at.y + r) + at.x;
      for (int i = 0; i < s.mWidth; ++i) row[i] = static_cast<T>(blend(row[i], fetch(base + i)));
    }
  });
}

struct SpreadVolatile {
  const SurfaceView& v;
  uint32_t operator()(uint32_t d, uint32_t p) const {
    const uint32_t a = p >> 24;
    const bool is565 = v.mask[1] == 0x07E0;
    const uint32_t S = SpreadMask(v);
    const uint32_t sp = is565 ? ((p & 0xFC00) << 11) + ((p >> 3) & 0x1F) + ((p >> 8) & 0xF800)
                              : ((p >> 3) & 0x1F) + ((p >> 9) & 0x7C00) + ((p & 0xF800) << 10);
    const uint32_t D = (d | (d << 16)) & S;
    return Fold(((((sp - D) * (a >> 3)) >> 5) + D) & S);
  }
};

struct RgbVolatile32 {
  const SurfaceView& v;
  uint32_t operator()(uint32_t d, uint32_t p) const {
    const uint32_t a = p >> 24;
    return (((((p & 0xFF00FFu) - (d & 0xFF00FFu)) * a >> 8) + (d & 0xFF00FFu)) & 0xFF00FFu) |
           (((((p & 0xFF00u) - (d & 0xFF00u)) * a >> 8) + (d & 0xFF00u)) & 0xFF00u);
  }
};

template <typename T>
struct MaskedVolatile {
  const SurfaceView& v;
  uint32_t operator()(uint32_t d, uint32_t p) const {
    const uint32_t a = p >> 24;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
      const uint32_t m = v.mask[c];
      const uint32_t sc = (p >> (16 - 8 * c)) & 0xFF;
      const uint32_t add = sizeof(T) == 2 ? (sc * a * m) >> 8 : ((sc * a) >> 8) * m;
      out += (((d & m) * (256 - a) + add + (m >> 1)) >> 8) & m;
    }
    return out;
  }
};

bool Meets(Need need, bool value) { return need == Need::Any || (need == Need::Yes) == value; }

using Op = SurfaceBlitOp;
constexpr Need Y = Need::Yes;
constexpr Need N = Need::No;
constexpr Need A = Need::Any;

constexpr SurfaceBlitPath kPaths[] = {
    // op, depth, mirrored, colourised, grey, direct, lanes, rgb order, clamped bytes, loop
    {Op::Copy, 16, A, A, A, A, A, A, A, CopyPixels<uint16_t>},
    {Op::Copy, 0, A, A, A, A, A, A, A, CopyPixels<uint32_t>},
    {Op::Volatile, 16, A, A, A, A, Y, Y, A, VolatilePixels<uint16_t, SpreadVolatile>},
    {Op::Volatile, 32, A, A, A, A, A, Y, A, VolatilePixels<uint32_t, RgbVolatile32>},
    {Op::Volatile, 16, A, A, A, A, A, A, A, VolatilePixels<uint16_t, MaskedVolatile<uint16_t>>},
    {Op::Volatile, 0, A, A, A, A, A, A, A, VolatilePixels<uint32_t, MaskedVolatile<uint32_t>>},
    {Op::Normal, 32, N, N, A, Y, A, A, A, OverRows32},
    {Op::Normal, 16, A, N, A, A, Y, A, A, Runs<uint16_t, SpreadOver>},
    {Op::Normal, 16, A, A, Y, A, Y, A, A, Runs<uint16_t, SpreadGreyOver>},
    {Op::Normal, 16, A, N, A, A, A, A, A, Runs<uint16_t, Over16>},
    {Op::Normal, 32, A, N, A, A, A, A, A, Runs<uint32_t, Over32>},
    {Op::Normal, 16, A, A, A, A, A, A, A, Runs<uint16_t, TintedOver>},
    {Op::Normal, 0, A, A, A, A, A, A, A, Runs<uint32_t, TintedOver>},
    {Op::Additive, 32, N, N, A, Y, A, A, Y, AddedRows32},
    {Op::Additive, 16, A, Y, A, A, A, A, A, Runs<uint16_t, TintedAdd>},
    {Op::Additive, 16, A, A, A, A, A, A, A, Runs<uint16_t, PlainAdd>},
    {Op::Additive, 32, A, Y, A, A, A, A, A, Runs<uint32_t, TintedAdd>},
    {Op::Additive, 0, A, A, A, A, A, A, A, Runs<uint32_t, PlainAdd>},
};

// Every condition but the clamped bytes, whose check reads three tables of 511 entries and is made
// only for a row that asks for it.
bool ServesOtherwise(const SurfaceBlitPath& p, const SurfaceBlitCase& b) {
  return p.op == b.op && (p.depth == 0 || p.depth == b.depth) && Meets(p.mirrored, b.mirrored) &&
         Meets(p.colorized, b.colorized) && Meets(p.grey, b.grey) && Meets(p.direct, b.direct) &&
         Meets(p.lanes, b.lanes) && Meets(p.rgbOrder, b.rgbOrder);
}

template <typename Clamped>
const SurfaceBlitPath& Find(const SurfaceBlitCase& blit, Clamped clampedBytes) {
  for (const SurfaceBlitPath& path : kPaths)
    if (ServesOtherwise(path, blit) && (path.clampedBytes == Need::Any || Meets(path.clampedBytes, clampedBytes())))
      return path;
  return kPaths[std::size(kPaths) - 1];  // every operation's last row serves all its blits
}

}  // namespace

SurfaceBlitColor::SurfaceBlitColor(const Color& c) : colorized(c != Color::White), ca(static_cast<uint32_t>(c.mAlpha)) {
  k[0] = static_cast<uint32_t>(c.mRed) * ca / 255;
  k[1] = static_cast<uint32_t>(c.mGreen) * ca / 255;
  k[2] = static_cast<uint32_t>(c.mBlue) * ca / 255;
  grey = k[0] == k[1] && k[1] == k[2];
}

SurfaceBlitLoop FindSurfaceBlitLoop(SurfaceBlitOp op, const SurfaceBlitJob& job) {
  const SurfaceView& v = job.view;
  const SurfaceBlitCase blit{op,
                             v.bitsPerPixel,
                             job.mirrored,
                             job.color.colorized,
                             job.color.grey,
                             IsDirect(job.src),
                             v.bitsPerPixel == 16 && IsSpreadable(v),
                             DDInterface::sRgbOrder,
                             false};
  int clamped = -1;
  auto clampedBytes = [&] {
    if (clamped < 0) clamped = HasClampedBytes(v) ? 1 : 0;
    return clamped == 1;
  };
  return Find(blit, clampedBytes).loop;
}

const SurfaceBlitPath& FindSurfaceBlitPath(const SurfaceBlitCase& blit) {
  return Find(blit, [&blit] { return blit.clampedBytes; });
}

std::span<const SurfaceBlitPath> SurfaceBlitPaths() { return kPaths; }

}  // namespace Velk
