#pragma once
// The people of the cafe, drawn flat: the boss in her uniform, each worker with a cook's hat and an
// apron that shows the product of its trade, and each kind of guest with clothes of its own (the
// manager, who pays most, in a suit with a money bag). Frames swing the arms and legs.

#include <map>
#include <string>

#include "contentlib/Canvas.h"
#include "contentlib/Pictograms.h"

namespace Content {

class Figure {
 public:
  // Worker kind -> the pictogram of the product it makes (its trade sign).
  static const std::map<std::string, std::string>& TradeSigns();

  // kind: a worker kind, a guest kind, "std" (the boss) or anything else (a plain person in colour).
  // facing: t tr r br b bl l tl, or "" for facing the viewer.
  static void Draw(Canvas& canvas, const Pictograms& pictograms, double x, double y, double w, double h,
                   const std::string& kind, uint32_t colour, int frame, const std::string& facing);
};

}  // namespace Content
