#include "cafe/QCItemBonus.h"

#include <cwchar>

#include "scene/QCItemPart.h"

namespace {

constexpr char kCashPart[] = "cash";
constexpr char kBonusPart[] = "bonus";

QCItemPart* FirstHidden(const std::vector<QCItemPart*>& parts, const char* name) {
  for (QCItemPart* part : parts)
    if (part->mName == name && !part->mVisible) return part;
  return nullptr;
}

}  // namespace

QCItemBonus* GetPopupSpawner() { return dynamic_cast<QCItemBonus*>(SceneBonusObject); }

void QCItemBonus::Reset(bool start) {
  QCItem::Reset(start);
  if (!start) return;
  for (QCItemPart* part : mParts) {
    part->PlayAnim("idle");
    part->SetText(L"$", part->mTextWidth, part->mTextHeight);
    part->Show(false);
  }
}

std::wstring QCItemBonus::MoneyText(int amount) {
  wchar_t text[32];
  std::swprintf(text, 32, amount > 0 ? L"$%+i" : L"$%-i", amount);
  return text;
}

void QCItemBonus::ShowPopup(int mode, QCItem* character, int amount, const std::wstring& text) {
  if (!character || amount == 0 || (mode != kMoney && mode != kBonus)) return;
  const char* kind = mode == kMoney ? kCashPart : kBonusPart;
  QCItemPart* popup = FirstHidden(mParts, kind);
  QCItemPart* anchor = character->FindPart(kind, 0);
  if (!popup || !anchor) return;
  popup->mAnchorX = character->mPosX + character->mOffsX + anchor->mAnchorX;
  popup->mAnchorY = character->mPosY + character->mOffsY + anchor->mAnchorY;
  popup->mScalePoint = anchor->mScalePoint;
  if (mode == kMoney) {
    popup->SetText(MoneyText(amount), popup->mTextWidth, popup->mTextHeight);
    popup->SendMessage(amount > 0 ? "on_cash" : "on_penalty");
    popup->Show(true);
  } else {
    popup->SetText(text, popup->mTextWidth, popup->mTextHeight);
    popup->Show(true);
    popup->SendMessage("on_bonus");
  }
}
