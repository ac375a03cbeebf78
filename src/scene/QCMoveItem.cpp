#include "scene/QCMoveItem.h"

#include <cmath>

#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "scene/NavGraph.h"
#include "scene/QCBoard_Game.h"
#include "scene/QCItemPart.h"
#include "scene/QCPickItem.h"

std::map<std::string, QCCharacterDef> CharacterMap;

namespace {

void ReadOrientation(IXMLDOMNode* node, QCCharacterDef& def) {
  const std::string code = XmlReadName(node, L"orientation");
  if (code.empty()) return;
  QCOrientationDef orientation;
  orientation.actual = XmlReadName(node, L"actual_orientation");
  XmlGetAttrInt(node, L"ofs_x", orientation.ofsX);
  XmlGetAttrInt(node, L"ofs_y", orientation.ofsY);
  def.orientations.emplace(code, orientation);
}

void ReadCharacter(IXMLDOMNode* node) {
  QCCharacterDef def;
  def.name = XmlReadName(node, L"name");
  XmlGetAttrFloat(node, L"move_speed", def.moveSpeed);
  XmlForEach(node, L"orientations", [&def](IXMLDOMNode* item) { ReadOrientation(item, def); });
  CharacterMap.emplace(def.name, def);
}

// Heading sectors, clockwise from screen-up: the last row whose threshold is below the heading.
struct Sector {
  float threshold;
  const char* code;
};
constexpr Sector kSectors[] = {{0.0f, "t"},        {0.19634955f, "tr"}, {1.3744469f, "r"},
                               {1.7671459f, "br"}, {2.9452431f, "b"},   {3.3379424f, "bl"},
                               {4.5160394f, "l"},  {4.9087386f, "tl"},  {6.0868359f, "t"}};

float Heading(int dx, int u) {
  const float f = std::acos(static_cast<float>(std::abs(dx)) / std::sqrt(static_cast<float>(dx * dx + u * u)));
  const float halfPi = 1.5707964f;
  const float threeHalfPi = 4.712389f;
  if (u > 0) return dx > 0 ? halfPi - f : threeHalfPi + f;
  return dx > 0 ? halfPi + f : threeHalfPi - f;
}

}  // namespace

void QCMoveItem::LoadCharacters(IXMLDOMNode* root) {
  CharacterMap.clear();
  XmlForEach(root, L"perses/pers", &ReadCharacter);
}

const QCCharacterDef* QCMoveItem::FindCharacter(const std::string& name) {
  auto it = CharacterMap.find(name);
  return it == CharacterMap.end() ? nullptr : &it->second;
}

void QCMoveItem::ClearCharacters() { CharacterMap.clear(); }

void QCMoveItem::Reset(bool start) {
  if (start) {
    QCBoard_Game* board = GetCurrentBoard();
    mNavigator = board ? board->GetNavigator(mName) : nullptr;
    mCurrentPoint = mStartPoint;
    PlaceAt(mCurrentPoint);
    mDelay = 0.0f;
    mMoving = false;
    mCarried = nullptr;
    ClearQueue();
    SetOrientation("b", false);
  } else {
    ClearQueue();
    mDelay = 0.0f;
    mMoving = false;
    mCarried = nullptr;
    mNavigator = nullptr;
  }
  QCItem::Reset(start);
}

void QCMoveItem::LoadFromXml(IXMLDOMNode* node) {
  QCItem::LoadFromXml(node);
  mStartPoint = XmlReadName(node, L"start_point");
  mCurrentPoint = mStartPoint;
}

void QCMoveItem::BindCharacter() { mCharacter = FindCharacter(mName); }

void QCMoveItem::QueueTarget(QCPickItem* target) {
  if (!target) return;
  mQueue.push_back(target);
  target->ShowClickMarker();
}

void QCMoveItem::SetCarried(QCItem* item) {
  QCItem* previous = mCarried;
  mCarried = item;
  if (auto* pick = dynamic_cast<QCPickItem*>(previous)) pick->ClearBusy();
}

void QCMoveItem::PlaceAt(const std::string& point) {
  int x = 0;
  int y = 0;
  if (!mNavigator || !mNavigator->GetPointPosition(point, x, y)) return;
  mCurrentPoint = point;
  mPosX = x;
  mPosY = y;
  UpdatePartLines();
}

float QCMoveItem::GetMoveSpeed() const { return mCharacter ? mCharacter->moveSpeed : 0.0f; }

bool QCMoveItem::GoTo(const std::string& point, float speed) {
  if (!mActive || point == mCurrentPoint || !mNavigator) return false;
  if (!mNavigator->SetCurrentPoint(mCurrentPoint) || !mNavigator->StartPath(point, speed)) return false;
  mCurrentPoint = point;
  mMoving = true;
  return true;
}

void QCMoveItem::Update() {
  QCItem::Update();
  Walk();
  WorkQueue();
  if (mReturnHome && mQueue.empty() && mCurrentPoint != mStartPoint && !IsBusy()) GoTo(mStartPoint, GetMoveSpeed());
  if (mHideAtHome) {
    const bool wanted = mCarried || mCurrentPoint != mStartPoint || IsBusy();
    if (wanted != mVisible) Show(wanted);
  }
  PerFrame();
  StepTrail();
}

void QCMoveItem::Walk() {
  if (!mMoving) return;
  int x = mPosX;
  int y = mPosY;
  int dx = 0;
  int dy = 0;
  mMoving = mNavigator && mNavigator->Advance(GetGameDt(), x, y, dx, dy);
  OrientFromDirection(dx, dy);
  mPosX = x;
  mPosY = y;
  UpdatePartLines();
  MarkZOrderDirty();
}

void QCMoveItem::WorkQueue() {
  if (mQueue.empty() || IsBusy()) return;
  QCPickItem* target = mQueue.front();
  if (mCurrentPoint == target->mName)
    ArriveAt(target);
  else if (!GoTo(target->mName, GetMoveSpeed()))
    ClearQueue();
  MarkZOrderDirty();
}

void QCMoveItem::ArriveAt(QCPickItem* target) {
  OnDelayDone(3);
  int context = 0;
  if (!target->Interact(this, true, &context) || !Interact(target, true, &context)) {
    DropQueue();
    return;
  }
  target->Interact(this, false, &context);
  Interact(target, false, &context);
  target->ClearBusy();
  target->HideClickMarker();
  for (auto it = mQueue.begin(); it != mQueue.end(); ++it)
    if (*it == target) {
      mQueue.erase(it);
      break;
    }
}

void QCMoveItem::DropQueue() {
  for (QCPickItem* item : mQueue) item->ClearBusy();
  ClearQueue();
}

void QCMoveItem::ClearQueue() {
  for (QCPickItem* item : mQueue) item->HideClickMarker();
  mQueue.clear();
}

QCPickItem* QCMoveItem::NextTarget() const { return mQueue.size() < 2 ? nullptr : *std::next(mQueue.begin()); }

void QCMoveItem::OrientFromDirection(int dx, int dy) {
  const int u = -dy;
  if (dx == 0) {
    if (u != 0) TurnTo(u >= 1 ? "t" : "b");
    return;
  }
  if (u == 0) {
    TurnTo(dx >= 1 ? "r" : "l");
    return;
  }
  const float heading = Heading(dx, u);
  const char* code = nullptr;
  for (const Sector& sector : kSectors)
    if (sector.threshold < heading) code = sector.code;
  if (code) TurnTo(code);
}

void QCMoveItem::TurnTo(const std::string& code) {
  const QCOrientationDef* turn = nullptr;
  if (mCharacter) {
    auto it = mCharacter->orientations.find(code);
    if (it != mCharacter->orientations.end()) turn = &it->second;
  }
  const int ofsX = turn ? turn->ofsX : 0;
  const int ofsY = turn ? turn->ofsY : 0;
  for (QCItemPart* part : mParts) {
    part->mAnchorX += ofsX - mTurnOfsX;
    part->mAnchorY += ofsY - mTurnOfsY;
  }
  mTurnOfsX = ofsX;
  mTurnOfsY = ofsY;
  const std::string actual = turn && !turn->actual.empty() ? turn->actual : code;
  SetOrientation(actual, true);
}

void QCMoveItem::SetIntervalMode(bool on, float fadeRate, float period) {
  const bool changed = on != mTrailOn;
  mTrailOn = on;
  if (!on) return;
  if (changed) mTrailTimer = 0.0f;
  mTrailPeriod = period;
  mTrailFadeRate = fadeRate;
}

void QCMoveItem::StepTrail() {
  const float dt = GetGameDt();
  for (QCItemPart* part : mParts) part->AgeTrail(mTrailFadeRate * dt);
  if (!mTrailOn) return;
  mTrailTimer += dt;
  if (mTrailTimer < mTrailPeriod) return;
  for (QCItemPart* part : mParts) part->AddTrailCopy();
  mTrailTimer = 0.0f;
}

void QCMoveItem::UpdatePartLines() {
  for (QCItemPart* part : mParts) part->SetZLine(mPosX - 20, mPosY, mPosX, mPosY, mPosX + 20, mPosY);
}

void QCMoveItem::MarkZOrderDirty() {
  if (QCBoard_Game* board = GetCurrentBoard()) board->MarkZOrderDirty();
}
