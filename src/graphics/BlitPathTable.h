#pragma once
// The memory-image blit's drawing routines as one table: each row names the blits it serves and the
// row routines that draw them; the first row whose conditions hold is taken, and the last row of each
// operation takes everything its earlier rows leave. A new fast path is one row and one routine.
#include <cstdint>

#include "graphics/BlitRows.h"

namespace Velk {

enum class BlitOp : uint8_t { Normal, Additive };

// A condition of a table row: must hold, must not hold, or either.
enum class Need : uint8_t { Any, Yes, No };

// What one blit is.
struct BlitCase {
  BlitOp op;
  bool sourceHasAlpha;  // some source pixel is translucent (alpha 1 to 254)
  bool destOpaque;      // the destination has neither transparent nor translucent pixels
  bool colorized;       // the colour is not opaque white
};

struct BlitPath {
  BlitOp op;
  Need sourceHasAlpha;
  Need destOpaque;
  Need colorized;
  // Walk the source's alpha runs: long transparent runs are skipped and long opaque runs drawn by
  // opaqueRow; row draws the rest, and must then give every pixel what its alpha calls for.
  // Otherwise row draws every pixel.
  bool byRuns;
  BlitRows::Row row;
  BlitRows::Row opaqueRow;
};

const BlitPath& FindBlitPath(const BlitCase& blit);

}  // namespace Velk
