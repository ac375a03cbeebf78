#include "e2e/LevelPlayer.h"

#include <vector>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCTutorial.h"
#include "e2e/Playthrough.h"
#include "engine/QCDialog.h"
#include "screens/QBoard_Hud.h"

namespace E2e {

namespace {

bool Shown(const QCCandyWidget* widget) { return widget != nullptr && widget->mVisible && !widget->mHiding; }

bool TakesClicks(QCCandyWidget* note) {
  const auto* tutorial = dynamic_cast<const QCTutorialDialog*>(note);
  return tutorial != nullptr && tutorial->AnswersClicks();
}

// Updates of 10 ms: a note the script shows as soon as the clicked one has gone starts to show
// within this many after the click, is fully in this many later, and stays for this many.
constexpr int kAnswerStartUpdates = 35;
constexpr int kAnswerInUpdates = 40;
constexpr int kAnswerStaysUpdates = 300;
// Below the mini-game's tray, right of it: nothing there answers the pointer.
constexpr POINT kAwayFromTheNotes{760, 590};
constexpr int kPointerMovedUpdates = 10;
// A second click within this of the first is a double click (the back end's default).
constexpr int kDoubleClickMs = 500;
// A note takes no click before it has come in (0.4 s) and lain still for 0.3 s; a click meant to
// take it away comes a little later.
constexpr int kNoteTakesClicksMs = 700;
constexpr int kNoteTakesClicksMarginMs = 100;

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

LevelPlayer::LevelPlayer(Playthrough& play, int clickMs, int secondClickMs) : LevelPlayer(play, false) {
  clickMs_ = clickMs;
  secondClickMs_ = secondClickMs;
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
    if (serve && (ClickNoteAway() || ClickNoteAtItsMoment())) continue;
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
      shownAt_[number] = play_.Game().mUpdateCount;
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

// A note is clicked away once it takes a click, as by a player who has read it at a glance.
bool LevelPlayer::ClickNoteAway() {
  if (!clickNotesAway_) return false;
  for (const auto& [number, note] : board_.mHud->mTutorialControls) {
    if (TakesClicks(note) && clickedAway_.insert(number).second) {
      play_.ClickWidget(note, "tutorial" + std::to_string(number));
      return true;
    }
  }
  return false;
}

// Whether a step that ran from `since` on took the note away.
bool LevelPlayer::HiddenByScript(int note, int since) const {
  const QCTutorial::Script* script = DayOneScript();
  const int ran = board_.mTutorial->IsRunning() ? board_.mTutorial->CurrentStep() : script->stepCount;
  for (int step = since; step < ran; ++step) {
    if (script->steps[step].hidePanel == note) return true;
  }
  return false;
}

QCCandyWidget* LevelPlayer::NoteOf(int number) const {
  const auto it = board_.mHud->mTutorialControls.find(number);
  return it != board_.mHud->mTutorialControls.end() ? it->second : nullptr;
}

// A note is clicked at its moment; until then the player waits, so that only the script (or the
// game's own events) can take it away before.
bool LevelPlayer::ClickNoteAtItsMoment() {
  if (clickMs_ < 0) return false;
  const unsigned now = play_.Game().mUpdateCount;
  for (auto it = shownAt_.begin(); it != shownAt_.end(); ++it) {
    const auto [number, start] = *it;
    if (!Shown(NoteOf(number))) {
      play_.Log("note " + std::to_string(number) + " gone before its moment");
      shownAt_.erase(it);
      return true;
    }
    if (static_cast<int>(now - start) * 10 < clickMs_) {
      play_.Step();
      return true;
    }
    shownAt_.erase(it);
    ClickNote(number, static_cast<int>(now - start) * 10);
    return true;
  }
  return false;
}

void LevelPlayer::ClickNote(int number, int upMs) {
  QCCandyWidget* note = NoteOf(number);
  const std::string named = "note " + std::to_string(number);
  const int step = board_.mTutorial->CurrentStep();
  // The step that waits for the clicked note to go, when it shows a note at once.
  const QCTutorial::Script* script = DayOneScript();
  const QCTutorial::Step* next = script != nullptr && board_.mTutorial->IsRunning() ? &script->steps[step] : nullptr;
  const int answer = next != nullptr && next->wait == QCTutorial::kTimer ? next->showPanel : 0;
  std::vector<int> others;
  for (const auto& [other, widget] : board_.mHud->mTutorialControls) {
    if (other != number && Shown(widget)) others.push_back(other);
  }
  // Where the mouse finds it now: its effect may have moved it since its last update.
  POINT at = note->AbsolutePos();
  play_.ServerClick(at.x + note->mWidth / 2, at.y + note->mHeight / 2);
  if (upMs < kNoteTakesClicksMs) {
    play_.Step((kNoteTakesClicksMs + kNoteTakesClicksMarginMs - upMs) / 10);
    play_.Expect(Shown(note), named + " staying on a click at " + std::to_string(upMs) + " ms, still coming in");
    at = note->AbsolutePos();
    play_.ServerClick(at.x + note->mWidth / 2, at.y + note->mHeight / 2);
  }
  play_.StepUntil([&] { return note->mHiding || !note->mVisible; }, 30, named + " going on the click");
  const std::string after = named + " clicked at " + std::to_string(clickMs_) + " ms";
  play_.Log(after);
  if (secondClickMs_ > 0) {
    play_.Step(secondClickMs_ / 10);
    play_.ServerClick(at.x + note->mWidth / 2, at.y + note->mHeight / 2, secondClickMs_ <= kDoubleClickMs);
  }
  if (answer != 0) {
    ExpectAnswer(answer, after);
  } else {
    play_.Step(kAnswerStartUpdates);
  }
  // Only the script may have taken another note away since.
  for (int other : others) {
    if (!HiddenByScript(other, step) && !Shown(NoteOf(other))) {
      play_.Fail("note " + std::to_string(other) + " went with " + after);
    }
  }
}

void LevelPlayer::ExpectAnswer(int answer, const std::string& after) {
  QCCandyWidget* note = NoteOf(answer);
  const std::string named = "note " + std::to_string(answer);
  play_.StepUntil([&] { return note->mVisible; }, kAnswerStartUpdates, named + " starting to show after " + after);
  play_.Step(kAnswerInUpdates);
  const auto atItsPlace = [note] { return Shown(note) && note->mOffset.x == 0 && note->mOffset.y == 0; };
  play_.Expect(atItsPlace() && !note->mShowing && note->mOpacity >= 1.0f, named + " fully in 0.4 s after it began");
  // The game's own pointer is drawn in the frame: it goes out of the way first.
  play_.MoveMouse(kAwayFromTheNotes.x, kAwayFromTheNotes.y);
  play_.Step(kPointerMovedUpdates);
  const POINT at = note->AbsolutePos();
  play_.StripCheckpoint("note_" + std::to_string(answer), {at.x, at.y, note->mWidth, note->mHeight});
  const int shownBy = board_.mTutorial->CurrentStep() - 1;
  for (int i = 0; i < kAnswerStaysUpdates && !HiddenByScript(answer, shownBy); ++i) {
    if (!atItsPlace()) play_.Fail(named + " left its place within 3 s of " + after);
    play_.Step();
  }
  play_.Log("ok " + named + " up after " + after);
}

}  // namespace E2e
