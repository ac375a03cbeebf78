#include "support/ServingPolicy.h"

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCMiniGame.h"
#include "support/CafeView.h"

namespace TestSupport {

namespace {

// Tokens of the kind lying against the gap at `from`, counted towards `step`.
int RunOf(const std::vector<QCMiniGame::Placed>& tokens, int from, int step, int kind) {
  int count = 0;
  for (int i = from; i >= 0 && i < static_cast<int>(tokens.size()) && tokens[i].record.kind == kind; i += step) ++count;
  return count;
}

}  // namespace

bool ServingPolicy::BossFree(const QCBoard_Game3& board) {
  const auto* boss = dynamic_cast<const QCBoss*>(SceneBossObject);
  return boss != nullptr && board.mClickQueue.empty() && boss->mQueue.empty() && !boss->IsBusy();
}

void ServingPolicy::Reset() {
  mBusyUntil = 0.0f;
  mLastClick = -1.0f;
}

std::optional<POINT> ServingPolicy::NextClick() {
  QCBoard_Game3* board = mGame.mBoard;
  if (board == nullptr || !board->GateOpen()) return std::nullopt;
  const float now = board->mPlayTime;
  if (now < mLastClick) Reset();
  const bool free = BossFree(*board);
  if (!free) mBusyUntil = now;
  if (mLastClick >= 0.0f && now - mLastClick < kReaction) return std::nullopt;
  if (std::optional<POINT> token = TrayClick()) return Clicked(token, now);
  if (!free || now - mBusyUntil < kReaction) return std::nullopt;
  const CafeView view(*board, *dynamic_cast<QCBoss*>(SceneBossObject));
  return Clicked(BoardClick(view), now);
}

std::optional<POINT> ServingPolicy::Clicked(std::optional<POINT> at, float now) {
  if (at) mLastClick = now;
  return at;
}

// Removing a token closes its gap: a click pays when the tokens on both sides are alike and
// make three or more together.
std::optional<POINT> ServingPolicy::TrayClick() const {
  QCMiniGame* tray = mGame.mBoard->mMiniGame;
  if (tray == nullptr) return std::nullopt;
  const std::vector<QCMiniGame::Placed>& tokens = tray->Elements();
  for (int i = 1; i + 1 < static_cast<int>(tokens.size()); ++i) {
    const int kind = tokens[i - 1].record.kind;
    if (tokens[i + 1].record.kind != kind || RunOf(tokens, i - 1, -1, kind) + RunOf(tokens, i + 1, 1, kind) < 3)
      continue;
    if (std::optional<POINT> at = mTargets.PointOf(tokens[i].widget)) return at;
  }
  return std::nullopt;
}

std::optional<POINT> ServingPolicy::BoardClick(const CafeView& view) const {
  using Rule = QCPickItem* (CafeView::*)() const;
  static constexpr Rule kRules[] = {
      &CafeView::NoteTarget,        &CafeView::Serve,     &CafeView::UseCloth, &CafeView::FetchClothForBroken,
      &CafeView::ThrowAway,         &CafeView::TakeOrder, &CafeView::Fetch,    &CafeView::StartWorker,
      &CafeView::FetchClothForDirty};
  for (Rule rule : kRules)
    if (QCPickItem* target = (view.*rule)())
      if (std::optional<POINT> at = mTargets.PointOf(target)) return at;
  return std::nullopt;
}

}  // namespace TestSupport
