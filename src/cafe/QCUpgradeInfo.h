#pragma once
// One upgrade of a level's lists ("upgrade/functional" or "upgrade/visual"): what it changes and
// whether it is in place.

#include <string>

struct QCUpgradeInfo {
  std::string object;  // the "object" attribute: the scene object it belongs to
  std::string name;    // the "name" attribute
  bool applied = false;
};
