#include "cafe/QCBonus.h"

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCItemBonus.h"
#include "engine/LocTexts.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"

namespace {

constexpr int kLocIdSize = 260;

bool ReadStage(IXMLDOMNode* node, void* stages, void*) {
  auto* list = static_cast<std::vector<QCBonusStage>*>(stages);
  QCBonusStage stage;
  stage.index = static_cast<int>(list->size());
  XmlGetAttrInt(node, L"action", stage.action);
  XmlGetAttrInt(node, L"bonus", stage.bonus);
  char id[kLocIdSize] = {};
  if (XmlGetAttrString(node, L"loc_str", id, kLocIdSize)) stage.text = GetLocText(id);
  list->push_back(std::move(stage));
  return true;
}

}  // namespace

void QCBonus::Load(IXMLDOMNode* cfgRoot) {
  mStages.clear();
  mCurrent = -1;
  IXMLDOMNode* config = nullptr;
  if (!cfgRoot || cfgRoot->selectSingleNode(L"bonus_config", &config) != 0 || !config) return;
  XmlGetAttrFloat(config, L"rush_timeout", mRushTimeout);
  XmlForEachNode(config, L"bonus_stages/*", &ReadStage, &mStages, nullptr);
  config->Release();
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
