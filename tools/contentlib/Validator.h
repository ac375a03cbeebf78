#pragma once
// The last step of a content build: checks the staged files with the game's own reading rules and
// reports every name that refers to nothing. A rule is a function over the stage; the table holds
// them in the order they run.

#include <set>
#include <string>
#include <vector>

#include "contentlib/Findings.h"
#include "contentlib/Stage.h"

namespace Content {

struct ValidatorRule {
  const char* name;
  void (*check)(const Stage&, Findings&);
};

class Validator {
 public:
  // The rules any pack must pass (encodings, files, names, value forms), the rules about this
  // game's screens, scenes, levels, animations and upgrades, and both in that order.
  static const std::vector<ValidatorRule>& GenericRules();
  static const std::vector<ValidatorRule>& GameRules();
  static const std::vector<ValidatorRule>& Rules();
  // False when any rule reported something.
  static bool Run(const Stage& stage, Findings& findings);
  static bool Run(const Stage& stage, Findings& findings, const std::vector<ValidatorRule>& rules);

  // The names that effects may call: every exported effect callback and its aliases.
  static const std::set<std::string>& ExportedFunctions();
};

}  // namespace Content
