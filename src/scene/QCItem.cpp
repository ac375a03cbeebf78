#include "scene/QCItem.h"

#include <algorithm>
#include <array>

#include "common/Unicode.h"
#include "engine/EngineUtil.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "scene/QCBoard_Game.h"
#include "scene/LevelLog.h"
#include "scene/QCItemPart.h"
#include "scene/QCPickItem.h"
#include "scene/QCZOrderManager.h"

std::map<std::string, QCItem*> SceneObjectMap;
std::vector<QCItem*> SceneObjectList;
QCItem* SceneBossObject = nullptr;
QCItem* SceneBonusObject = nullptr;

namespace {

constexpr int kNameSize = 128;

struct FactoryRow {
  const char* keyword;
  SceneObjectCreator creator;
};

QCItem* MakeItem() { return new QCItem(); }
QCItem* MakePickItem() { return new QCPickItem(); }

// Searched in this order; the cafe fills the rows of its own classes.
std::array<FactoryRow, 13>& Factory() {
  static std::array<FactoryRow, 13> rows = {{{"item", &MakeItem},
                                             {"pickable", &MakePickItem},
                                             {"boss", nullptr},
                                             {"worker", nullptr},
                                             {"tray", nullptr},
                                             {"status_bubble", nullptr},
                                             {"trash_bin", nullptr},
                                             {"status_hp_worker", nullptr},
                                             {"status_hp_client", nullptr},
                                             {"period_item", nullptr},
                                             {"client", nullptr},
                                             {"client_sit", nullptr},
                                             {"item_bonus", nullptr}}};
  return rows;
}

void CreateSceneObject(IXMLDOMNode* node) {
  const std::string keyword = XmlReadName(node, L"class");
  const std::string name = XmlReadName(node, L"name");
  SceneObjectCreator create = GetSceneObjectCreator(keyword);
  if (!create) {
    DebugLog("Scene object <%s>: unknown class <%s>, skipped", name.c_str(), keyword.c_str());
    return;
  }
  QCItem* item = create();
  if (name == "boss") SceneBossObject = item;
  if (name == "bonus") SceneBonusObject = item;
  item->LoadFromXml(node);
  SceneObjectMap.emplace(name, item);
  SceneObjectList.push_back(item);
}

template <typename F>
void ForEachActive(F f) {
  for (QCItem* item : SceneObjectList)
    if (item->mActive) f(item);
}

}  // namespace

bool SetSceneObjectCreator(const std::string& keyword, SceneObjectCreator creator) {
  for (FactoryRow& row : Factory()) {
    if (keyword != row.keyword) continue;
    row.creator = creator;
    return true;
  }
  return false;
}

SceneObjectCreator GetSceneObjectCreator(const std::string& keyword) {
  for (const FactoryRow& row : Factory())
    if (keyword == row.keyword) return row.creator;
  return nullptr;
}

QCItem::~QCItem() { ClearParts(); }

void QCItem::SetVisible(bool visible) {
  mVisible = visible;
  mSelected = false;
}

void QCItem::ApplyUpgradeSkin(const std::string& skin) {
  SetSkin(skin, true);
  PlayAnim(mCurrentAnim);
}

void QCItem::Reset(bool start) {
  if (start) Show(true);
}

void QCItem::SetSelected(uint32_t, bool on) { mSelected = on; }

QCItem* QCItem::FindByName(const std::string& name) {
  auto it = SceneObjectMap.find(name);
  return it == SceneObjectMap.end() ? nullptr : it->second;
}

void QCItem::LoadFromXml(IXMLDOMNode* node) {
  mName = XmlReadName(node, L"name");
  char orient[kNameSize] = {};
  if (XmlGetAttrString(node, L"orient", orient, kNameSize)) mOrientation = orient;
  mPosX = mPosY = mOffsX = mOffsY = 0;
  XmlGetAttrInt(node, L"pos_x", mPosX);
  XmlGetAttrInt(node, L"pos_y", mPosY);
  XmlGetAttrInt(node, L"offs_x", mOffsX);
  XmlGetAttrInt(node, L"offs_y", mOffsY);
  delete mEffect;
  mEffect = nullptr;
  const std::string effect = XmlReadName(node, L"effect");
  if (!effect.empty() && (mEffect = CreateEffectByName(effect.c_str()))) {
    mEffect->EffectSetParam(kParamTargets, &mTargets);
    mEffect->EffectSetParam(kParamVisible, &mVisible);
    mEffect->SetOwner(this);
  }
  XmlForEach(node, L"part", [this](IXMLDOMNode* element) {
    auto* part = new QCItemPart(this);
    part->LoadFromXml(element);
    mParts.push_back(part);
  });
}

void QCItem::ApplySkinXml(IXMLDOMNode* node) {
  const std::string skin = XmlReadName(node, L"skin");
  const std::string anim = XmlReadName(node, L"anim");
  SetSkin(skin, true);
  // A skin none of the parts' files has pictures of leaves the object without any.
  auto anyPart = [this](auto test) { return std::any_of(mParts.begin(), mParts.end(), test); };
  const bool shown = skin.empty() || !anyPart([](const QCItemPart* part) { return part->GetPlayer() != nullptr; }) ||
                     anyPart([](const QCItemPart* part) { return part->HasSkinEntries(); });
  if (!shown) LevelLogOnce("skin " + skin, "Level: the skin \"%s\" has no pictures", skin.c_str());
  PlayAnim("");
  if (!anim.empty()) PlayPartsAnim(anim, false);
  bool stop = false;
  if (XmlGetAttrBool(node, L"stop", stop) && stop) {
    SetVisible(false);
    mActive = false;
  } else {
    mActive = true;
  }
}

void QCItem::ReleaseImages() {
  for (QCItemPart* part : mParts) part->ReleaseImages();
}

void QCItem::ClearParts() {
  for (QCItemPart* part : mParts) delete part;
  mParts.clear();
  mTargets.count = 0;
  delete mEffect;
  mEffect = nullptr;
}

void QCItem::Update() {
  const float dt = GetGameDt();
  if (mEffect) mEffect->EffectUpdate(dt);
  if (!mActive || !mVisible) return;
  for (QCItemPart* part : mParts)
    if (part->mVisible) part->Update();
  if (mTimedRunning) TickTimedState();
  TickDelay();
}

void QCItem::TickTimedState() {
  mTimedRemaining -= GetGameDt();
  if (mTimedRemaining >= 0.0f) return;
  const QCTimedState* state = FindTimedState(mCurrentTimedState);
  OnStateElapsed(mCurrentTimedState);
  if (state) {
    for (QCItemPart* part : mParts) {
      part->SetFrame(static_cast<int>(state->frame));
      part->Resume();
    }
  }
  mTimedRunning = false;
}

void QCItem::TickDelay() {
  if (mDelay <= 0.0f) return;
  mDelay -= GetGameDt();
  if (mDelay > 0.0f) return;
  mDelay = 0.0f;
  OnDelayDone(mDelayCode);
}

bool QCItem::Interact(QCItem* other, bool test, int* context) {
  QCBoard_Game* board = GetCurrentBoard();
  QCItem* occupant = board ? board->FindPlaceOccupant(this) : nullptr;
  return occupant && occupant != this ? occupant->Interact(other, test, context) : false;
}

void QCItem::OnStateElapsed(const std::string& name) {
  for (QCItemPart* part : mParts) part->OnStateElapsed(name);
}

void QCItem::SetSkin(const std::string& name, bool toParts) {
  mSkin = name;
  if (toParts)
    for (QCItemPart* part : mParts) part->SetSkin(name);
}

void QCItem::SetOrientation(const std::string& code, bool toParts) {
  mOrientation = code;
  if (toParts)
    for (QCItemPart* part : mParts) part->SetOrientation(code, false);
}

bool QCItem::PlayAnim(const std::string& name, float* outLength) {
  if (outLength) *outLength = -1.0f;
  bool played = false;
  for (QCItemPart* part : mParts) {
    part->SetSkin(mSkin);
    part->SetOrientation(mOrientation, false);
    part->ApplySkin();
    const bool ok = part->PlayAnim(name);
    played = played || ok;
    if (outLength) *outLength = std::max(*outLength, part->GetAnimLength());
  }
  if (!played) return false;
  mCurrentAnim = name;
  mTimedRunning = false;
  EnterTimedState(name);
  return true;
}

void QCItem::PlayPartsAnim(const std::string& name, bool reorient) {
  for (QCItemPart* part : mParts) {
    if (reorient) part->SetOrientation(mOrientation, false);
    if (!part->PlayAnim(name)) continue;
    mCurrentAnim = name;
    mTimedRunning = false;
    EnterTimedState(name);
  }
}

QCItemPart* QCItem::FindPart(const std::string& name, int n) const {
  for (QCItemPart* part : mParts)
    if (part->mName == name && n-- == 0) return part;
  return nullptr;
}

void QCItem::SetPartsFrame(int frame) {
  for (QCItemPart* part : mParts) part->SetFrame(frame);
}

void QCItem::PauseParts(bool pause) {
  for (QCItemPart* part : mParts) pause ? part->Pause() : part->Resume();
}

void QCItem::SendMessage(const std::string& text) {
  if (mEffect) mEffect->EffectSendMessage(text);
  for (QCItemPart* part : mParts) part->SendMessage(text);
}

void QCItem::Show(bool show) {
  if (mEffect && mEffect->EffectSendMessage(show ? "onshow" : "onhide")) return;
  SetVisible(show);
  for (QCItemPart* part : mParts) part->Show(show);
}

const QCTimedState* QCItem::FindTimedState(const std::string& name) const {
  for (const QCTimedState& state : mTimedStates)
    if (state.name == name) return &state;
  return nullptr;
}

void QCItem::AddTimedState(const std::string& name, uint32_t frame, float min, float max) {
  for (QCTimedState& state : mTimedStates) {
    if (state.name != name) continue;
    state.frame = frame;
    state.min = min;
    state.max = max;
    return;
  }
  mTimedStates.push_back(QCTimedState{name, frame, min, max});
}

void QCItem::RemoveTimedState(const std::string& name) {
  std::erase_if(mTimedStates, [&](const QCTimedState& s) { return s.name == name; });
  for (QCItemPart* part : mParts) {
    AnmPlayer* player = part->GetPlayer();
    const AnmEntry* entry = player ? player->GetCurrentEntry() : nullptr;
    if (entry && entry->name != name) player->Rewind(player->GetCurrentIndex());
  }
  mTimedRunning = true;
}

void QCItem::StartTimedState(const std::string& name) {
  const QCTimedState* state = FindTimedState(name);
  if (!state) return;
  mTimedRunning = true;
  mTimedRemaining = RandomFloat(state->min, state->max);
  mCurrentTimedState = name;
}

void QCItem::EnterTimedState(const std::string& name) {
  const QCTimedState* state = FindTimedState(name);
  if (!state) return;
  StartTimedState(name);
  for (QCItemPart* part : mParts) part->SetFrame(static_cast<int>(state->frame));
}

void QCItem::SetDelay(float seconds, uint32_t code) {
  mDelay = seconds;
  mDelayCode = code;
}

void CreateSceneObjects(IXMLDOMNode* root) { XmlForEach(root, L"objects/object", &CreateSceneObject); }

void ApplyLevelObjects(IXMLDOMNode* levelNode) {
  for (QCItem* item : SceneObjectList) {
    const XPathVars vars{{L"name", Velk::Utf8ToWide(item->mName)}};
    if (XmlNodeRef node = SelectChild(levelNode, L"objects//object[@name=$name]", vars)) {
      item->ApplySkinXml(node.Get());
    } else {
      item->SetVisible(false);
      item->mActive = false;
    }
  }
}

void RegisterSceneParts() {
  QCZOrderManager* zorder = GetZOrderManager();
  if (!zorder) return;
  for (QCItem* item : SceneObjectList) {
    for (QCItemPart* part : item->mParts) {
      if (part->mName == "held_items") continue;
      if (part->mZOver)
        zorder->AddOverlayPart(part);
      else
        zorder->AddPart(part, item->IsMobile());
    }
  }
  zorder->BuildZOrder();
}

void UpdateSceneObjects() {
  ForEachActive([](QCItem* item) { item->Update(); });
}

void ResetSceneObjects(bool start) {
  ForEachActive([start](QCItem* item) { item->Reset(start); });
}

void ReleaseSceneImages() {
  ForEachActive([](QCItem* item) { item->ReleaseImages(); });
}

void DestroySceneObjects() {
  for (QCItem* item : SceneObjectList) {
    item->ClearParts();
    delete item;
  }
  SceneObjectMap.clear();
  SceneObjectList.clear();
  SceneBossObject = nullptr;
  SceneBonusObject = nullptr;
}
