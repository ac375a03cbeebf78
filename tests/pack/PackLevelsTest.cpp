// Every level of the built pack under the real gameplay board: loaded on the level-loading thread
// as the career book and the survival screen load it, handed over, started, played for two
// seconds of game time and stopped, with nothing in the debug or level log. Then a survival shift
// followed by a career day, as a player goes from one to the other: the HUD's achievement rows
// come back for the day. And day 1 played as a new player follows its notes, up to the tray's lesson.
#include <set>
#include <string>
#include <vector>

#include "PackGame.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCMiniGame.h"
#include "cafe/QCTutorial.h"
#include "platform/clock/Clock.h"
#include "scene/QCItem.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"

namespace {

constexpr int kCareerMode = 0;
constexpr int kSurvivalMode = 1;
constexpr int kCareerDays = 59;
constexpr int kSurvivalShifts = 3;
constexpr int kSteps = 200;

class PackLevelsTest : public PackTesting::PackGameTest {
 protected:
  QCBoard_Game3& Board() {
    if (!mGame) {
      Start();
      ExpectNothingLogged("start-up");
    }
    return *mGame->mBoard;
  }
  // Loads on the level thread, hands over as the main loop does, and closes the briefing.
  void Load(int level, int mode) {
    QCBoard_Game3& board = Board();
    board.StartLevelLoading(level, mode);
    board.JoinLevelLoading();
    ASSERT_TRUE(mGame->mLoadingThreadCompleted.load());
    board.OnLevelLoaded();
    board.mBriefing->Hide();
  }
  void Steps(int count) {
    for (int i = 0; i < count; ++i) {
      Velk::Clock::Advance(mGame->mFrameTime);
      mGame->RunLogicUpdate();
    }
  }
  static bool BossBusy() {
    auto* boss = dynamic_cast<QCBoss*>(SceneBossObject);
    return boss != nullptr && (!boss->mQueue.empty() || boss->IsMoving() || boss->HasDelay());
  }
  // A left click at a point of the screen, as the window's messages deliver it.
  void ClickAt(int x, int y) {
    mGame->mWidgetManager->DispatchMouseDown(x, y, 1);
    mGame->mWidgetManager->DispatchMouseUp(x, y, 1);
  }
  // Day 1 as a new player plays it: each step, the one object the notes unlock is clicked when the
  // boss is free; a token is clicked away while the script waits for a row of three; with
  // clickNotes, each note is clicked away as soon as it is up. The notes seen, in number order.
  std::set<int> PlayDayOneByTheNotes(bool clickNotes) {
    const std::vector<std::string> places = {"client_place02", "client_place03", "client_place04", "wash_stand",
                                             "table01",        "table03",        "table04"};
    Load(1, kCareerMode);
    QCTutorial& tutorial = *Board().mTutorial;
    QBoard_Hud& hud = *Board().mHud;
    std::set<int> seen, clicked;
    int clickedStep = -1;
    for (int i = 0; i < 60000 && tutorial.IsRunning() && tutorial.CurrentStep() < 48; ++i) {
      Steps(1);
      std::vector<std::pair<int, QCCandyWidget*>> up;
      for (const auto& [number, note] : hud.mTutorialControls) {
        if (!note->mVisible) continue;
        seen.insert(number);
        if (!note->mHiding) up.emplace_back(number, note);
        if (!clickNotes || note->mHiding || !clicked.insert(number).second) continue;
        const POINT at = note->AbsolutePos();
        ClickAt(at.x + note->mWidth / 2, at.y + note->mHeight / 2);
      }
      // Notes up together are read together: none lies on another.
      for (size_t a = 0; a < up.size(); ++a)
        for (size_t b = a + 1; b < up.size(); ++b)
          EXPECT_FALSE(Overlap(up[a].second, up[b].second)) << "notes " << up[a].first << " and " << up[b].first;
      const int step = tutorial.CurrentStep();
      if (BossBusy() || step == clickedStep) continue;
      if (step == 44 || step == 46) {
        for (const QCMiniGame::Placed& token : Board().mMiniGame->Elements())
          if (!token.widget->mDisabled && Board().mMiniGame->OnElementClicked(token.widget)) break;
        clickedStep = step;
        continue;
      }
      if (step >= 32) continue;
      for (const std::string& name : places)
        if (tutorial.IsObjectAllowed(name)) {
          Board().ClickObjectByName(name);
          clickedStep = step;
          break;
        }
    }
    EXPECT_GE(tutorial.CurrentStep(), 48) << "the script stuck";
    return seen;
  }
  static bool Overlap(QCCandyWidget* a, QCCandyWidget* b) {
    const POINT pa = a->AbsolutePos(), pb = b->AbsolutePos();
    return pa.x < pb.x + b->mWidth && pb.x < pa.x + a->mWidth && pa.y < pb.y + b->mHeight && pb.y < pa.y + a->mHeight;
  }
  static std::set<int> NotesOfTheScript() {
    std::set<int> notes = {1, 2};
    for (int n = 4; n <= 24; ++n) notes.insert(n);
    return notes;
  }
  static std::string Name(int level, int mode) { return (mode == kCareerMode ? "l" : "e") + std::to_string(level); }
};

TEST_F(PackLevelsTest, EveryLevelLoadsOnTheLevelThreadAndPlaysWithNothingLogged) {
  ASSERT_NE(Board().mHud, nullptr);
  for (int mode : {kCareerMode, kSurvivalMode})
    for (int level = 1; level <= (mode == kCareerMode ? kCareerDays : kSurvivalShifts); ++level) {
      const std::string name = Name(level, mode);
      Load(level, mode);
      QCBoard_Game3& board = Board();
      ASSERT_TRUE(board.mRunning) << name;
      ASSERT_NE(QCItem::FindByName("boss"), nullptr) << name;
      Steps(kSteps);
      EXPECT_NEAR(board.mPlayTime, kSteps * 0.01f, 0.05f) << name << ": the board did not play every step";
      EXPECT_EQ(board.mLives, mode == kSurvivalMode ? QCBoard_Game3::kStartLives : 0) << name;
      board.StopLevel();
      ExpectNothingLogged(name);
    }
}

TEST_F(PackLevelsTest, ACareerDayAfterASurvivalShiftShowsTheAchievementsAgain) {
  QBoard_Hud& hud = *Board().mHud;
  ASSERT_NE(hud.mAchievements, nullptr);
  Load(1, kSurvivalMode);
  Steps(kSteps);
  EXPECT_TRUE(hud.mVisible);
  EXPECT_FALSE(hud.mAchievements->mVisible);
  Board().StopAndEndLevel();
  Load(2, kCareerMode);
  Steps(kSteps);
  EXPECT_TRUE(hud.mVisible);
  EXPECT_TRUE(hud.mAchievements->mVisible);
  ExpectNothingLogged("survival shift 1, then day 2");
}

// The player clicks what the notes unlock, once a step, when the boss is free; from step 32 the
// script's own demonstration rush plays six boss actions. Once the boss has done them, step 43's
// awards and the rush's must have left eight tokens on the tray: two rows of three to make.
TEST_F(PackLevelsTest, DayOnePlayedByTheNotesFillsTheTrayForTwoRows) {
  const std::vector<std::string> places = {"client_place02", "client_place03", "client_place04", "wash_stand",
                                           "table01",        "table03",        "table04"};
  Load(1, kCareerMode);
  QCTutorial& tutorial = *Board().mTutorial;
  int clickedStep = -1;
  for (int i = 0; i < 30000 && tutorial.IsRunning() && tutorial.CurrentStep() < 43; ++i) {
    Steps(1);
    const int step = tutorial.CurrentStep();
    if (BossBusy() || step >= 32 || step == clickedStep) continue;
    for (const std::string& name : places)
      if (tutorial.IsObjectAllowed(name)) {
        Board().ClickObjectByName(name);
        clickedStep = step;
        break;
      }
  }
  ASSERT_GE(tutorial.CurrentStep(), 43);
  for (int i = 0; i < 2000 && BossBusy(); ++i) Steps(1);
  ASSERT_FALSE(BossBusy());
  EXPECT_EQ(Board().mMiniGame->Elements().size(), 8u);
}

// A new player follows the notes to the end of the script and sees every note it shows (never
// note 3): the player who reads them and waits, and the one who clicks each away at once. A click
// that closes a note must not close the note shown in answer to it.
TEST_F(PackLevelsTest, DayOneFollowedByTheNotesShowsEveryNoteWhetherOrNotTheyAreClickedAway) {
  EXPECT_EQ(PlayDayOneByTheNotes(false), NotesOfTheScript());
  Board().StopLevel();
  EXPECT_EQ(PlayDayOneByTheNotes(true), NotesOfTheScript());
}

}  // namespace
