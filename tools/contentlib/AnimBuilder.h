#pragma once
// Makes the files of one .anm description: the atlases (one PNG per skin and orientation, one row
// per entry, frames left to right; or one cell per mask for mask words) and the .anm itself.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "contentlib/AnimList.h"
#include "contentlib/Findings.h"
#include "contentlib/Pictograms.h"

namespace Content {

class AnimBuilder {
 public:
  // Staged path ('\' separated) -> bytes. False with findings naming the .anm.
  static bool Build(const AnimEntry& anim, const Pictograms& pictograms,
                    std::map<std::string, std::vector<uint8_t>>& files, Findings& findings);
  static std::string AnmPath(const AnimEntry& anim) { return "anm\\" + anim.part + ".anm"; }
};

}  // namespace Content
