#pragma once
// The cels that show things rather than people: plates and bubbles' pictures with their
// pictograms side by side, the stack of clean plates, the coffee machine, the wash stand, the trash bin and the crates
// of materials, each shaped like what it is and showing what it gives.

#include <set>
#include <string>

#include "contentlib/FlatArt.h"

namespace Content {

class PropArt {
 public:
  static const std::set<std::string>& Shapes();
  static void Draw(Canvas& canvas, const Pictograms& pictograms, double x, double y, double w, double h,
                   const CelRequest& cel);
  // The pictograms side by side, as large as the box allows.
  static void Row(Canvas& canvas, const Pictograms& pictograms, double x, double y, double w, double h,
                  const std::vector<std::string>& pictures);
};

}  // namespace Content
