#include "cafe/QCBoardUpgrades.h"

#include <algorithm>

#include "cafe/CafeConfigs.h"
#include "engine/XmlAccess.h"
#include "scene/LevelLog.h"
#include "scene/QCItem.h"

namespace {

constexpr int kTidinessSlot = 0;
constexpr int kSpeedSlot = 6;
constexpr int kBossSpeedSlot = 12;
constexpr int kBonusMoneySlot = 13;
constexpr int kCafes = 3;
// The visual objects in slot order within one cafe's five bytes.
constexpr const char* kVisualObjects[] = {"floor", "worker_table", "bar", "decor", "client_table"};
constexpr int kVisualPerCafe = 5;
constexpr int kFirstVisualBase = 9;  // slot 5L + 9 is cafe L's floor

// "func" 1, "vis" 2, anything else 0.
int UpgradeKindOf(IXMLDOMNode* node) {
  std::string value;
  if (!XmlGetAttrText(node, L"upgrade", value)) return 0;
  if (value == "func") return QCUpgradeInfo::kFunctional;
  if (value == "vis") return QCUpgradeInfo::kVisual;
  return 0;
}

QCUpgradeInfo ReadUpgrade(IXMLDOMNode* node, int kind) {
  QCUpgradeInfo record;
  record.kind = kind;
  XmlGetAttrText(node, L"name", record.name);
  XmlGetAttrText(node, L"object", record.object);
  XmlGetAttrInt(node, L"min_level", record.minLevel);
  XmlGetAttrInt(node, L"max_level", record.maxLevel);
  if (record.kind != QCUpgradeInfo::kVisual) return record;
  XmlForEach(node, L"object", [&record](IXMLDOMNode* object) {
    std::string name;
    if (XmlGetAttrText(object, L"name", name)) record.objectNames.push_back(name);
  });
  return record;
}

void ReadUpgrades(IXMLDOMNode* cfgRoot, const wchar_t* path, int kind, std::vector<QCUpgradeInfo>& into) {
  XmlForEach(cfgRoot, path, [&](IXMLDOMNode* node) { into.push_back(ReadUpgrade(node, kind)); });
}

void ReadStage(IXMLDOMNode* node, std::vector<std::pair<int, int>>& stages) {
  int kind = UpgradeKindOf(node);
  if (kind == 0) return;
  int day = 0;
  XmlGetAttrInt(node, L"num", day);
  stages.emplace_back(day, kind);
}

void ReportNoSlot(QCUpgradeInfo& record) {
  if (record.reported) return;
  record.reported = true;
  LevelLog("cfg.xml: the upgrade \"%s\" of \"%s\" (cafes %d-%d) has no flag slot; it is never offered",
           record.name.c_str(), record.object.c_str(), record.minLevel, record.maxLevel);
}

}  // namespace

int VisualUpgradeSlot(const std::string& object, int minLevel) {
  if (minLevel < 1 || minLevel > kCafes) return QCUpgradeInfo::kNoSlot;
  for (int i = 0; i < kVisualPerCafe; ++i) {
    if (object == kVisualObjects[i]) return kVisualPerCafe * minLevel + kFirstVisualBase + i;
  }
  return QCUpgradeInfo::kNoSlot;
}

void QCBoardUpgrades::LoadUpgrades(IXMLDOMNode* cfgRoot) {
  ClearUpgrades();
  ReadUpgrades(cfgRoot, L"upgrade/functional", QCUpgradeInfo::kFunctional, mFunctionalUpgrades);
  ReadUpgrades(cfgRoot, L"upgrade/visual", QCUpgradeInfo::kVisual, mVisualUpgrades);
}

void QCBoardUpgrades::ClearUpgrades() {
  mFunctionalUpgrades.clear();
  mVisualUpgrades.clear();
}

void QCBoardUpgrades::LoadStages(IXMLDOMNode* levelNode) {
  mUpgradeStages.clear();
  mUpgradeStageCursor = 0;
  if (IsSurvivalLevel()) {
    XmlForEach(levelNode, L"stages/stage", [this](IXMLDOMNode* node) { ReadStage(node, mUpgradeStages); });
  } else {
    mOfferedUpgradeKind = levelNode ? UpgradeKindOf(levelNode) : 0;
  }
  ReapplyUpgrades();
}

void QCBoardUpgrades::StartSurvivalUpgrades() {
  std::fill(std::begin(mSurvivalUpgrades), std::end(mSurvivalUpgrades), 0);
  mUpgradeQueue.clear();
  mUpgradeStageCursor = 0;
}

uint8_t* QCBoardUpgrades::FlagBlock() { return IsSurvivalLevel() ? mSurvivalUpgrades : ProfileUpgradeBlock(); }

int QCBoardUpgrades::FunctionalSlot(QCUpgradeInfo& record) {
  if (record.object == "bonus") return record.name == "money" ? kBonusMoneySlot : QCUpgradeInfo::kNoSlot;
  if (record.object == "boss") return record.name == "speed" ? kBossSpeedSlot : QCUpgradeInfo::kNoSlot;
  WorkerConfig* config = FindWorkerConfig(record.object, nullptr);
  if (config == nullptr || config->mSequence < 1 || config->mSequence > kWorkerSlots) return QCUpgradeInfo::kNoSlot;
  int first = record.name == "speed" ? kSpeedSlot : record.name == "tidiness" ? kTidinessSlot : -1;
  if (first < 0) return QCUpgradeInfo::kNoSlot;
  record.handler = WorkerUpgradeHandler(config);
  return first + config->mSequence - 1;
}

uint8_t QCBoardUpgrades::ResolveUpgradeFlag(QCUpgradeInfo& record) {
  record.handler = nullptr;
  record.slot = record.kind == QCUpgradeInfo::kVisual ? VisualUpgradeSlot(record.object, record.minLevel)
                                                      : FunctionalSlot(record);
  if (record.slot == QCUpgradeInfo::kNoSlot) {
    ReportNoSlot(record);
    return 0;
  }
  uint8_t* block = FlagBlock();
  return block ? block[record.slot] : 0;
}

uint8_t QCBoardUpgrades::IsUpgradeApplied(const std::string& object, const std::string& name) {
  for (auto* list : {&mFunctionalUpgrades, &mVisualUpgrades}) {
    for (QCUpgradeInfo& record : *list) {
      if (record.object == object && record.name == name) return ResolveUpgradeFlag(record);
    }
  }
  return 0;
}

bool QCBoardUpgrades::OfferedHere(const QCUpgradeInfo& record) const {
  int cafe = GetCafe();
  return record.minLevel <= cafe && cafe <= record.maxLevel;
}

void QCBoardUpgrades::ReapplyUpgrades() {
  for (QCUpgradeInfo& record : mFunctionalUpgrades) ResolveUpgradeFlag(record);
  for (QCUpgradeInfo& record : mVisualUpgrades) {
    if (ResolveUpgradeFlag(record) != 0 && OfferedHere(record)) SkinObjects(record, UpgradeSkinName(), nullptr);
  }
}

void QCBoardUpgrades::SkinObjects(const QCUpgradeInfo& record, const std::string& skin, const char* event) {
  for (const std::string& name : record.objectNames) {
    QCItem* item = QCItem::FindByName(name);
    if (item == nullptr) {
      LevelLog("upgrade \"%s\": the scene has no object \"%s\"", record.name.c_str(), name.c_str());
      continue;
    }
    item->ApplyUpgradeSkin(skin);
    if (event) item->SendMessage(event);
  }
}

void QCBoardUpgrades::ApplyUpgrade(QCUpgradeInfo& record, bool on) {
  ResolveUpgradeFlag(record);
  uint8_t* block = FlagBlock();
  if (record.slot == QCUpgradeInfo::kNoSlot || block == nullptr) return;
  block[record.slot] = on ? 1 : 0;
  if (record.kind == QCUpgradeInfo::kVisual) {
    SkinObjects(record, on ? UpgradeSkinName() : DefaultSkinName(), on ? "on_upgrade" : "on_downgrade");
  } else if (record.handler) {
    record.handler->ApplyUpgradeSkin("");
  }
}

int QCBoardUpgrades::CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) {
  out.clear();
  if (IsSurvivalLevel()) {
    if (mUpgradeQueue.empty()) return 0;
    mOfferedUpgradeKind = mUpgradeQueue.front();
    mUpgradeQueue.pop_front();
    if (mUpgradeQueue.empty()) ShowUpgradeButton(false);
  }
  std::vector<QCUpgradeInfo>* list = mOfferedUpgradeKind == QCUpgradeInfo::kFunctional ? &mFunctionalUpgrades
                                     : mOfferedUpgradeKind == QCUpgradeInfo::kVisual   ? &mVisualUpgrades
                                                                                       : nullptr;
  if (list == nullptr) return 0;
  for (QCUpgradeInfo& record : *list) {
    if (static_cast<int>(out.size()) == kMaxOffers) break;
    bool applied = ResolveUpgradeFlag(record) != 0;
    if (record.slot != QCUpgradeInfo::kNoSlot && !applied && OfferedHere(record)) out.push_back(&record);
  }
  return static_cast<int>(out.size());
}

void QCBoardUpgrades::AdvanceUpgradeStage(int survivalDay) {
  if (mUpgradeStageCursor >= mUpgradeStages.size()) return;
  const auto& [day, kind] = mUpgradeStages[mUpgradeStageCursor];
  if (day != survivalDay) return;
  mUpgradeQueue.push_back(kind);
  ShowUpgradeButton(true);
  ++mUpgradeStageCursor;
}
