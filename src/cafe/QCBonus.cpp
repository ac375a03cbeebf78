#include "cafe/QCBonus.h"

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCItemBonus.h"
#include "engine/LocTexts.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"

namespace {

constexpr int kLocIdSize = 260;

QCBonusStage ReadStage(IXMLDOMNode* node, int index) {
  QCBonusStage stage;
  stage.index = index;
  XmlGetAttrInt(node, L"action", stage.action);
  XmlGetAttrInt(node, L"bonus", stage.bonus);
  char id[kLocIdSize] = {};
  if (XmlGetAttrString(node, L"loc_str", id, kLocIdSize)) stage.text = GetLocText(id);
  return stage;
}

}  // namespace

void QCBonus::Load(IXMLDOMNode* cfgRoot) {
  mStages.clear();
  mCurrent = -1;
  XmlNodeRef config = SelectChild(cfgRoot, L"bonus_config");
  if (!config) return;
  XmlGetAttrFloat(config.Get(), L"rush_timeout", mRushTimeout);
  XmlForEach(config.Get(), L"bonus_stages/*",
             [this](IXMLDOMNode* node) { mStages.push_back(ReadStage(node, static_cast<int>(mStages.size()))); });
}

void QCBonus::Reset() {
  mTimer = 0.0f;
  mCount = 0;
  mCurrent = -1;
}

void QCBonus::OnEvent(int kind, QCItem* item) {
  if (kind == kBad) {
    Reset();
    return;
  }
  if (kind != kGood) return;
  ++mCount;
  mTimer = 0.0f;
  mCurrent = -1;
  for (const QCBonusStage& stage : mStages) {
    if (stage.action == mCount) {
      mCurrent = stage.index;
      break;
    }
  }
  if (mCurrent >= 0) Apply(item);
}

void QCBonus::Update() {
  mTimer += GetGameDt();
  if (mTimer >= mRushTimeout) Reset();
}

void QCBonus::Apply(QCItem* item) {
  if (mCurrent < 0 || mCurrent >= static_cast<int>(mStages.size())) return;
  const QCBonusStage& stage = mStages[mCurrent];
  QCItemBonus* spawner = GetPopupSpawner();
  if (item && spawner) spawner->ShowPopup(QCItemBonus::kBonus, item, stage.bonus, stage.text);
  if (QCBoard_Game3* board = GetGameBoard()) board->AwardRushBonus(stage.index);
}
