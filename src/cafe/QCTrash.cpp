#include "cafe/QCTrash.h"

#include "cafe/CafeNames.h"
#include "cafe/QCBoss.h"
#include "cafe/QCTray.h"

void QCTrash::Reset(bool start) {
  QCPickItem::Reset(start);
  if (start) RestAfterAnimation(this, mState);
}

void QCTrash::StartTimedState(const std::string& name) {
  QCPickItem::StartTimedState(name);
  RestAfterAnimation(this, mState);
}

bool QCTrash::Interact(QCItem* other, bool test, int*) {
  auto* boss = dynamic_cast<QCBoss*>(other);
  if (!boss || (boss->mMask.empty() && boss->mSecond.empty())) return false;
  if (test) return true;
  PlayAnim(CafeNames::kStateActivation);
  mState = 1;
  return false;
}
