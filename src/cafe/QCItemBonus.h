#pragma once
// The level's money pop-ups: one scene object whose text parts float over a character when it pays,
// costs money or earns a rush bonus. Parts named "cash" show money, parts named "bonus" show bonus
// texts; a part is free while it is hidden, and its effect hides it again at the end of its flight.

#include <string>

#include "scene/QCItem.h"

class QCItemBonus : public QCItem {
 public:
  enum Mode { kMoney = 0, kBonus = 1 };

  void Reset(bool start) override;
  // Nothing without a character or for an amount of 0, nor when every part of the kind is in
  // flight (the caller books the money anyway). Money shows the signed amount; a bonus the text.
  void ShowPopup(int mode, QCItem* character, int amount, const std::wstring& text);

  // "$+25" for a gain, "$-25" for a loss.
  static std::wstring MoneyText(int amount);
};

// The level's pop-up object, or null when the scene has none.
QCItemBonus* GetPopupSpawner();
