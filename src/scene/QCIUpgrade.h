#pragma once
// What an upgrade does to a scene object it names: the object takes the upgrade's skin.

#include <string>

class QCIUpgrade {
 public:
  virtual void ApplyUpgradeSkin(const std::string& skin) = 0;

 protected:
  ~QCIUpgrade() = default;
};
