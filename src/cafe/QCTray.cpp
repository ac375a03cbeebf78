#include "cafe/QCTray.h"

#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "engine/XmlAccess.h"

namespace {

constexpr int kThingSize = 260;
constexpr int kEventTray = 5;

}  // namespace

void RestAfterAnimation(QCItem* item, int& state) {
  item->PlayAnim(CafeNames::kStateIdle);
  state = 0;
}

void QCTray::Reset(bool start) {
  QCPickItem::Reset(start);
  if (start) RestAfterAnimation(this, mState);
}

void QCTray::StartTimedState(const std::string& name) {
  QCPickItem::StartTimedState(name);
  RestAfterAnimation(this, mState);
}

void QCTray::LoadFromXml(IXMLDOMNode* node) {
  QCPickItem::LoadFromXml(node);
  char thing[kThingSize] = {};
  if (XmlGetAttrString(node, L"thing", thing, kThingSize)) mMask = thing;
}

bool QCTray::Interact(QCItem* other, bool test, int*) {
  if (!dynamic_cast<QCBoss*>(other)) return false;
  if (test) return true;
  if (QCBoard_Game3* board = GetGameBoard()) board->TutorialEvent(kEventTray);
  return false;
}
