#include "e2e/LevelPlayer.h"

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCTutorial.h"
#include "e2e/Playthrough.h"
#include "screens/QBoard_Hud.h"

namespace E2e {

namespace {

bool Shown(const QCCandyWidget* widget) { return widget != nullptr && widget->mVisible && !widget->mHiding; }

const QCTutorial::Script* DayOneScript() {
  for (int i = 0; i < kTutorialScriptCount; ++i) {
    if (kTutorialScripts[i].day == 1) return &kTutorialScripts[i];
  }
  return nullptr;
}

}  // namespace

LevelPlayer::LevelPlayer(Playthrough& play, bool clickNotesAway)
    : play_(play),
      board_(*play.Game().mBoard),
      policy_(play.Game()),
      clickNotesAway_(clickNotesAway),
      // A note already up was shown by the step that ran last.
      stepBefore_(board_.mTutorial->CurrentStep() - 1),
      lives_(board_.mLives) {
  Watch();
  stepBefore_ = board_.mTutorial->CurrentStep();
  play_.WatchEveryUpdate([this] { Watch(); });
}

LevelPlayer::~LevelPlayer() { play_.WatchEveryUpdate(nullptr); }

void LevelPlayer::PlayUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what) {
  Run(done, maxUpdates, what, true);
}

void LevelPlayer::IdleUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what) {
  Run(done, maxUpdates, what, false);
}

void LevelPlayer::Run(const std::function<bool()>& done, int maxUpdates, const std::string& what, bool serve) {
  const DWORD start = play_.Game().mUpdateCount;
  while (!done()) {
    if (static_cast<int>(play_.Game().mUpdateCount - start) > maxUpdates || play_.Game().mShutdown) {
      play_.Fail("not within " + std::to_string(maxUpdates / 100) + " s of game time: " + what + " (money " +
                 std::to_string(board_.mMoney) + ", lives " + std::to_string(board_.mLives) + ")");
    }
    if (serve && ClickNoteAway()) continue;
    const std::optional<POINT> at = serve ? policy_.NextClick() : std::nullopt;
    if (at) {
      play_.Click(at->x, at->y);
    } else {
      play_.Step();
    }
  }
}

void LevelPlayer::Watch() {
  for (const auto& [number, note] : board_.mHud->mTutorialControls) {
    if (Shown(note) && seen_.insert(number).second) {
      play_.Log("note " + std::to_string(number) + " at step " + std::to_string(ShowingStep(number)));
    }
  }
  stepBefore_ = board_.mTutorial->CurrentStep();
  if (!goalSeen_ && Shown(board_.mHud->mGoalSplash)) {
    goalSeen_ = true;
    play_.Log("goal stamp at $" + std::to_string(board_.mMoney));
  }
  if (board_.mLives != lives_) {
    lives_ = board_.mLives;
    play_.Log("lives " + std::to_string(lives_));
  }
}

// Of the steps that ran in the last update (a step that clicks runs the next at once), the one
// that shows the note; the first of them when none does.
int LevelPlayer::ShowingStep(int note) const {
  const QCTutorial::Script* script = DayOneScript();
  for (int step = board_.mTutorial->CurrentStep() - 1; script != nullptr && step > stepBefore_; --step) {
    if (script->steps[step].showPanel == note) return step;
  }
  return stepBefore_;
}

// A note is clicked away once it is fully up, as by a player who has read it at a glance.
bool LevelPlayer::ClickNoteAway() {
  if (!clickNotesAway_) return false;
  for (const auto& [number, note] : board_.mHud->mTutorialControls) {
    if (Shown(note) && note->mOpacity >= 1.0f && clickedAway_.insert(number).second) {
      play_.ClickWidget(note, "tutorial" + std::to_string(number));
      return true;
    }
  }
  return false;
}

}  // namespace E2e
