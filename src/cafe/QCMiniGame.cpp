#include "cafe/QCMiniGame.h"

#include <cmath>
#include <cstdio>

#include "cafe/QCTutorial.h"
#include "engine/EngineUtil.h"
#include "engine/QCDeadline.h"
#include "engine/QCSoundTable.h"
#include "engine/XmlAccess.h"
#include "fonts/TruncToInt.h"
#include "scene/LevelLog.h"
#include "ui/QCButton.h"

namespace {

enum ImageSet { kNormalImage = 0, kEffectImage = 1, kSelectedImage = 2 };
constexpr const char* kImageFormats[] = {"bonus%02d00", "bonus%02d00_e", "bonus%02d00_s"};
constexpr const char* kChainEvents[] = {"onchaincoin", "onchaincleaning", "onchainice", "onchainhappy", "onchainspeed"};
constexpr int kRewardOffset = 2;  // a chain of n pays n - 2
constexpr int kChainLength = 3;

// Token widgets draw the normal image in their normal and disabled states and the "_s" image while
// hovered or pressed; burst widgets draw the "_e" image in both of theirs.
constexpr int kTokenNormalKeys[] = {0, 3};
constexpr int kTokenSelectedKeys[] = {1, 2};
constexpr int kEffectKeys[] = {0, 1};

template <size_t N>
void SetImages(QCCandyWidget* widget, const int (&keys)[N], const QCTextureRef& image) {
  for (int key : keys)
    if (QCTexture* texture = widget->GetTexture(key, 0)) texture->SetImage(image);
  widget->Invalidate();
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// An effect that plays the event hides the widget itself when it ends; without one it goes at once.
void HideWith(QCCandyWidget* widget, const char* event) {
  if (event == nullptr || !widget->SendEffectMessage(event)) widget->SetVisible(false);
}

}  // namespace

QCMiniGame::Element::~Element() {
  effect.Release();
  selected.Release();
  normal.Release();
}

QCMiniGame::QCMiniGame(QCCandyWidget* parent, QCEngine* app, QCMiniGameRewards* rewards, IXMLDOMNode* uiRoot)
    : QCDialog(parent, app), mRewards(rewards) {
  LoadFromUi(uiRoot, "minigame");
}

QCMiniGame::~QCMiniGame() {
  mElements.clear();
  OnHideHook();
}

void QCMiniGame::OnShowHook() {
  QCDialog::OnShowHook();
  for (auto& set : mImages)
    for (QCTextureRef& image : set) image.Acquire();
}

void QCMiniGame::OnHideHook() {
  QCDialog::OnHideHook();
  for (auto& set : mImages)
    for (QCTextureRef& image : set) image.Release();
}

void QCMiniGame::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (StartsWith(name, "tray")) mFreeElements.push_back(widget);
  if (StartsWith(name, "effect_ele")) mFreeEffects.push_back(widget);
  QCDialog::BindControl(name, widget);
}

void QCMiniGame::ButtonDepress(int id) {
  for (const Placed& placed : mElements) {
    if (QCButton::IsId(id, placed.widget)) {
      OnElementClicked(placed.widget);
      return;
    }
  }
}

// ---- level settings

// On the level-loading thread, into fields only the level start reads: the main thread may still
// be sliding the old tray meanwhile.
void QCMiniGame::ReadLevel(IXMLDOMNode* levelNode) {
  XmlNodeRef params = SelectChild(levelNode, L"partparams");
  ReadWeights(params.Get());
  mLevelSpeed = 0.0f;
  if (params && XmlGetAttrFloat(params.Get(), L"speed", mLevelSpeed) &&
      !(mLevelSpeed >= 0.0f && std::isfinite(mLevelSpeed))) {
    LevelLog("partparams: the slide speed %g is read as 0", mLevelSpeed);
    mLevelSpeed = 0.0f;
  }
}

void QCMiniGame::ReadWeights(IXMLDOMNode* params) {
  mLevelWeights.clear();
  if (params == nullptr) return;
  for (int award = 0; award < kAwardIndexes; ++award) {
    std::array<float, kKinds> weights{};
    bool any = false;
    for (int kind = 0; kind < kKinds; ++kind) {
      wchar_t name[16];
      std::swprintf(name, 16, L"bonus%02d%02d", kind + 1, award + 1);
      float weight = 0.0f;
      if (!XmlGetAttrFloat(params, name, weight)) continue;
      any = true;
      if (!(weight >= 0.0f && std::isfinite(weight))) {
        LevelLog("partparams: the weight %ls = %g is read as 0", name, weight);
        weight = 0.0f;
      }
      weights[kind] = weight;
    }
    if (!any) continue;
    float sum = 0.0f;
    for (float weight : weights) sum += weight;
    if (sum > 0.0f)
      for (float& weight : weights) weight /= sum;
    mLevelWeights[award] = weights;
  }
}

void QCMiniGame::LoadKindImages() {
  QCTextureManager* manager = QCTextureManager::Get();
  if (manager == nullptr) return;
  for (int kind = 0; kind < kKinds; ++kind) {
    if (!mImages[kNormalImage][kind].IsEmpty()) continue;
    for (int set = 0; set < 3; ++set) {
      char id[32];
      std::snprintf(id, sizeof id, kImageFormats[set], kind + 1);
      mImages[set][kind] = manager->Find(id);
    }
  }
}

const std::array<float, QCMiniGame::kKinds>* QCMiniGame::Weights(int awardIndex) const {
  auto it = mWeights.find(awardIndex);
  return it == mWeights.end() ? nullptr : &it->second;
}

// ---- tokens arriving

// On the main thread at the level start: the settings the level thread read take effect here.
void QCMiniGame::Reset() {
  while (!mElements.empty()) Remove(0, Removal::kHidden);
  mPending.clear();
  mWeights = mLevelWeights;
  mSpeed = mLevelSpeed;
  LoadKindImages();
}

void QCMiniGame::AddElement(int kind, bool enabled, bool atFront) {
  if (kind < 0 || kind >= kKinds) return;
  if (mElements.size() >= kMaxElements) {
    mPending.push_back(mElements.front().record.kind);
    Remove(0, Removal::kHidden);
  }
  if (mFreeElements.empty() || mFreeEffects.empty()) {
    mPending.push_back(kind);
    return;
  }
  Placed placed{0.0f, mFreeElements.front(), Element{}, mFreeEffects.front()};
  mFreeElements.pop_front();
  mFreeEffects.pop_front();
  placed.record.normal = mImages[kNormalImage][kind];
  placed.record.selected = mImages[kSelectedImage][kind];
  placed.record.effect = mImages[kEffectImage][kind];
  placed.record.kind = kind;
  placed.widget->SetDisabled(!enabled);
  SetImages(placed.widget, kTokenNormalKeys, placed.record.normal);
  SetImages(placed.widget, kTokenSelectedKeys, placed.record.selected);
  SetImages(placed.effect, kEffectKeys, placed.record.effect);
  if (atFront) {
    placed.widget->Move(0, kElementY);
    mElements.insert(mElements.begin(), placed);
  } else {
    placed.x = static_cast<float>(mWidth);
    placed.widget->Move(mWidth, kElementY);
    mElements.push_back(placed);
  }
  placed.widget->Show();
}

void QCMiniGame::AddRandomElement(int awardIndex) {
  const std::array<float, kKinds>* weights = Weights(awardIndex);
  if (weights == nullptr) return;
  size_t n = mElements.size();
  int banned =
      n >= 2 && mElements[n - 1].record.kind == mElements[n - 2].record.kind ? mElements[n - 1].record.kind : -1;
  int kind = DrawKind(*weights, banned);
  if (kind >= 0) AddElement(kind, true, false);
}

// r runs down the weights of the kinds that may come; what a sweep leaves starts the next sweep, so
// only r modulo the eligible sum matters. Kinds of weight 0 never come, and with none eligible
// nothing does.
int QCMiniGame::DrawKind(const std::array<float, kKinds>& weights, int banned) const {
  float eligible = 0.0f;
  int last = -1;
  for (int kind = 0; kind < kKinds; ++kind) {
    if (kind == banned || !(weights[kind] > 0.0f)) continue;
    eligible += weights[kind];
    last = kind;
  }
  float r = RandomFloat(0.0f, 1.0f);
  if (last < 0) return -1;
  if (r > eligible) {
    r = std::fmod(r, eligible);
    if (r == 0.0f) r = eligible;
  }
  for (int kind = 0; kind < kKinds; ++kind) {
    if (kind == banned || !(weights[kind] > 0.0f)) continue;
    r -= weights[kind];
    if (r <= 0.0f) return kind;
  }
  return last;  // rounding left a crumb of r
}

void QCMiniGame::AwardRushBonus(int stageIndex, QCTutorial* tutorial) {
  if (tutorial && !tutorial->IsActionAllowed(QCTutorial::kRushAwards)) return;
  bool flag = false;
  int scripted = tutorial ? tutorial->NextScriptedAward(flag) : -1;
  if (scripted >= 0)
    AddElement(scripted, flag, false);
  else
    AddRandomElement(stageIndex);
}

void QCMiniGame::EnableElementAt(int position) {
  if (position < 0 || position >= static_cast<int>(mElements.size())) return;
  mElements[position].widget->SetDisabled(false);
}

bool QCMiniGame::OnElementClicked(QCCandyWidget* widget) {
  for (size_t i = 0; i < mElements.size(); ++i) {
    if (mElements[i].widget != widget) continue;
    if (widget->mDisabled) return false;
    Remove(i, Removal::kClick);
    PlaySoundByName("minigame_hit");
    return true;
  }
  return false;
}

// ---- the frame

void QCMiniGame::Update() {
  QCDialog::Update();
  Refill();
  size_t first = 0;
  size_t count = 0;
  if (Slide(first, count)) Chain(first, count);
}

void QCMiniGame::Refill() {
  while (mElements.size() < kMaxElements && !mPending.empty() && !mFreeElements.empty() && !mFreeEffects.empty()) {
    int kind = mPending.front();
    mPending.pop_front();
    AddElement(kind, true, true);
  }
}

bool QCMiniGame::Slide(size_t& chainFirst, size_t& chainCount) {
  float dt = GetGameDt();
  int step = Velk::TruncToInt(mSpeed * dt);
  // Slow speeds would truncate to nothing at a short frame; they still creep.
  if (step < 1 && mSpeed > 0.0f && dt > 0.0f) step = 1;
  float target = kFirstX;
  bool moving = false;
  size_t runFirst = 0;
  size_t runCount = 0;
  for (size_t i = 0; i < mElements.size(); ++i) {
    Placed& placed = mElements[i];
    if (placed.x != target) {
      placed.x = placed.x > target ? std::max(target, placed.x - step) : std::min(target, placed.x + step);
      placed.widget->Move(static_cast<int>(placed.x), kElementY);
      moving = true;
    } else if (!moving) {
      if (runCount > 0 && placed.record.kind == mElements[runFirst].record.kind) {
        ++runCount;
      } else {
        if (runCount >= kChainLength) break;
        runFirst = i;
        runCount = 1;
      }
    }
    target = static_cast<float>(placed.widget->mX + placed.widget->mWidth - 1);
  }
  chainFirst = runFirst;
  chainCount = runCount;
  return runCount >= kChainLength;
}

void QCMiniGame::Chain(size_t first, size_t count) {
  int kind = mElements[first].record.kind;
  if (mRewards) mRewards->ApplyMiniGameReward(kind, static_cast<int>(count) - kRewardOffset);
  for (size_t i = 0; i < count; ++i) Remove(first, Removal::kChain);
}

// The bursts stand by their tokens: every token up to the one leaving places its burst first.
void QCMiniGame::Remove(size_t index, Removal reason) {
  for (size_t i = 0; i <= index; ++i)
    mElements[i].effect->Move(mElements[i].widget->mX - kEffectDx, mElements[i].widget->mY - kEffectDy);
  Placed placed = mElements[index];
  switch (reason) {
    case Removal::kHidden:
      HideWith(placed.widget, nullptr);
      break;
    case Removal::kClick:
      HideWith(placed.widget, "onclick");
      break;
    case Removal::kChain:
      HideWith(placed.widget, "onchain");
      placed.effect->SendEffectMessage(kChainEvents[placed.record.kind]);
      break;
  }
  mFreeElements.push_back(placed.widget);
  mFreeEffects.push_back(placed.effect);
  mElements.erase(mElements.begin() + static_cast<long>(index));
}
