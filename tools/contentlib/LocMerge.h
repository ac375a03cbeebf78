#pragma once
// cfg\loc.xml is the hand-written texts with the level generator's texts appended. The game keeps
// the first text of an id, so an id written in both places is a finding, not a silent choice.

#include <pugixml.hpp>

#include <string>
#include <utility>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

class LocMerge {
 public:
  // Appends one <loc id text/> per entry to the document element; false when an id repeats.
  static bool Append(pugi::xml_document& loc, const std::vector<std::pair<std::string, std::string>>& entries,
                     const std::string& file, Findings& findings);
};

}  // namespace Content
