#pragma once
// One upgrade of cfg.xml's "upgrade" lists: a functional one ("upgrade/functional": a worker's speed
// or tidiness, the boss's speed, the mini-game's coin value) or a visual one ("upgrade/visual": a new
// skin for a group of scene objects).

#include <string>
#include <vector>

class QCIUpgrade;

struct QCUpgradeInfo {
  enum Kind { kFunctional = 1, kVisual = 2 };
  static constexpr int kNoSlot = -1;

  std::string name;                      // "speed", "tidiness", "money", or the visual upgrade's name
  std::string object;                    // a worker kind, "boss", "bonus"; visual: "floor", "bar", "client_table", ...
  QCIUpgrade* handler = nullptr;         // a worker's upgrades: that worker's scene object
  std::vector<std::string> objectNames;  // visual: the scene objects that change skin
  int kind = kFunctional;
  int minLevel = 0;  // the first cafe that offers it
  int maxLevel = 0;  // the last
  // The byte of the flag block that says it is applied; kNoSlot for a record that can have none.
  // Which block (the profile's or the survival shift's) is chosen when the byte is read.
  int slot = kNoSlot;
  bool reported = false;  // its lack of a slot has been logged
};
