#pragma once
// The surface image's blit loops as one table, as the memory image's are (BlitPathTable.h): each row
// names the blits it serves and the loop that draws them; the first row whose conditions hold is
// taken, and the last row of each operation, its general loop, takes everything the earlier rows
// leave. A new fast loop is one row and one routine.
#include <cstdint>
#include <span>

#include "graphics/BlitPathTable.h"
#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Velk {

class MemoryImage;
struct SurfaceView;

// Copy: an opaque, uncoloured source copied pixel for pixel (clear pixels of a keyed source left).
// Volatile: the source's own ARGB pixels blended straight in. Normal and Additive walk the source's
// alpha or additive runs.
enum class SurfaceBlitOp : uint8_t { Copy, Volatile, Normal, Additive };

// The colour of a blit as the loops use it: k is each channel scaled by the colour's alpha.
struct SurfaceBlitColor {
  bool colorized;
  bool grey;  // the three k are equal
  uint32_t ca;
  uint32_t k[3];

  explicit SurfaceBlitColor(const Color& c);
};

// What one blit is.
struct SurfaceBlitCase {
  SurfaceBlitOp op;
  int depth;  // bits per destination pixel: 16 or 32
  bool mirrored;
  bool colorized;
  bool grey;
  bool direct;        // the source has no colour table
  bool lanes;         // a 5-6-5 or 5-5-5 destination, whose pixel spreads into one 32-bit word
  bool rgbOrder;      // the display's channels run red, green, blue from the top
  bool clampedBytes;  // 8-bit channels at 16, 8 and 0 whose additive tables clamp at 255
};

// One clipped blit: the source rectangle s drawn at (x, y) of the locked surface.
struct SurfaceBlitJob {
  const SurfaceView& view;
  MemoryImage& src;
  const uint32_t* native;  // the source in the display's format (unused by the volatile blend)
  const uint8_t* runs;     // the source's alpha or additive runs, for the operations that walk them
  int x;
  int y;
  Rect s;
  bool mirrored;
  SurfaceBlitColor color;
};

using SurfaceBlitLoop = void (*)(const SurfaceBlitJob& job);

struct SurfaceBlitPath {
  SurfaceBlitOp op;
  int depth;  // 0: any
  Need mirrored;
  Need colorized;
  Need grey;
  Need direct;
  Need lanes;
  Need rgbOrder;
  Need clampedBytes;
  SurfaceBlitLoop loop;
};

const SurfaceBlitPath& FindSurfaceBlitPath(const SurfaceBlitCase& blit);
// The loop of one blit, its case read from the job.
SurfaceBlitLoop FindSurfaceBlitLoop(SurfaceBlitOp op, const SurfaceBlitJob& job);
// Every row, in the order they are tried.
std::span<const SurfaceBlitPath> SurfaceBlitPaths();

}  // namespace Velk
