#include "cafe/QCTutorial.h"

#include "cafe/QCMiniGame.h"
#include "cafe/QCTutorialHud.h"
#include "engine/QCDeadline.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The day-one script as designed, one row per step:
// wait|delay|show|hide|hold|release|lock|unlock|click|awards|background|enable ("*": all nine objects).
const char* const kDesignedSteps[] = {
    "0|0|||1,6,4,3||*||||0|",
    "1|0|1||5|||client_place02|||0|",
    "2|0||1|||client_place02||||0|",
    "4|3.0|2||||||||0|",
    "0|0|4|2||||table01|||0|",
    "2|0|5|4|||table01|table04|||0|",
    "2|0|6|5|||table04|table03|||0|",
    "2|3.0|7|6||4,3,2|table03||||0|",
    "0|0||7|||||||0|",
    "8|0|8|||||table01|||0|",
    "2|0|9|8|||table01|client_place02|||0|",
    "2|0||9|||client_place02||||0|",
    "3|3.0|10||||||||0|",
    "0|0|11|10||||wash_stand|||0|",
    "2|0|12|11|||wash_stand|table01|||0|",
    "2|0||12||5|table01||||0|",
    "1|0|13||5|||client_place03|||0|",
    "2|0||13|||client_place03||||0|",
    "4|0.1|14||||||||0|",
    "0|0|15|||||table04|||0|",
    "2|0|16|15|||table04|table03|||0|",
    "2|0.1||16|||table03||||0|",
    "0|0.1|17|14||||client_place03|||0|",
    "0|0|18||||||||0|",
    "2|0.1||17|||client_place03||||0|",
    "0|5.0||18|||||||1|",
    "0|0||||5,6|||||1|",
    "1|0|||5||||||1|",
    "0|0||||5|||||1|",
    "1|0|||5||||||1|",
    "0|0||||5|||||1|",
    "1|5.0|19||5||||||1|",
    "0|0|20|19||||table01|table01||1|",
    "2|0.3|||||table01||||1|",
    "0|0||||||table04|table04||1|",
    "2|0.3|||||table04||||1|",
    "0|0||||||table03|table03||1|",
    "2|0.3|||||table03||||1|",
    "0|0||||||client_place04|client_place04||1|",
    "2|0.3|||||client_place04||||1|",
    "0|0||||||client_place03|client_place03||1|",
    "2|0.3|||||client_place03||||1|",
    "0|0||||||client_place02|client_place02||1|",
    "2|5.0|21|20|||client_place02|||4|0|2",
    "6|2.0|22|21|||||||0|",
    "0|0|23|22|||||||0|2",
    "6|3.0|24|23|||||||0|",
    "0|0||24||2,5||*|||0|",
    "1|0|||||||||0|",
};

const std::vector<std::string> kNine = {"client_place02", "client_place03", "client_place04", "trash_bin", "tray",
                                        "wash_stand",     "table01",        "table03",        "table04"};

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string cell;
  while (std::getline(in, cell, sep)) out.push_back(cell);
  if (!text.empty() && text.back() == sep) out.push_back("");
  return out;
}

std::vector<int> Kinds(const int (&kinds)[QCTutorial::kKindSlots]) {
  std::vector<int> out;
  for (int kind : kinds)
    if (kind != 0) out.push_back(kind);
  return out;
}

std::vector<std::string> Names(const char* const (&names)[QCTutorial::kNameSlots]) {
  std::vector<std::string> out;
  for (const char* name : names)
    if (name) out.push_back(name);
  return out;
}

class FakeHud : public QCTutorialHud {
 public:
  void ShowTutorialControl(int number, bool show) override { panels[number] = show; }
  bool IsTutorialControlVisible(int number) const override {
    auto it = panels.find(number);
    return reportPanels && it != panels.end() && it->second;
  }
  void ShowTutorBackground(bool show) override { background = show; }

  std::map<int, bool> panels;
  bool background = false;
  bool reportPanels = true;
};

class RecordingTutorial : public QCTutorial {
 public:
  using QCTutorial::QCTutorial;
  std::vector<std::string> clicks;

 protected:
  void ClickObject(const std::string& name) override { clicks.push_back(name); }
};

class TutorialTest : public ::testing::Test {
 protected:
  TutorialTest() : miniGame(nullptr, nullptr, nullptr, nullptr), tutorial(&hud, nullptr, &miniGame) {
    ResetAllDeadlines();
    miniGame.SetBounds(0, 0, 560, 92);
    for (int i = 0; i < QCMiniGame::kMaxElements; ++i) {
      auto* token = new QCCandyWidget(&miniGame);  // the dialog deletes its controls
      token->SetBounds(0, 0, 33, 32);
      miniGame.BindControl("tray" + std::to_string(i), token);
      miniGame.BindControl("effect_ele" + std::to_string(i), new QCCandyWidget(&miniGame));
    }
  }

  // One board frame of dt seconds.
  void Frame(float dt = 0.01f) {
    SetGameDt(dt);
    AdvanceGameClock();
    tutorial.Update();
  }
  void Frames(float seconds) {
    for (int i = 0; i < static_cast<int>(seconds / 0.01f + 0.5f); ++i) Frame();
  }
  // The player's event, or frames until the next step has run (at most 10 s).
  void Advance(int event) {
    int step = tutorial.CurrentStep();
    if (event != 0) tutorial.OnEvent(event);
    for (int i = 0; i < 1000 && event == 0 && tutorial.CurrentStep() == step && tutorial.IsRunning(); ++i) Frame();
  }
  bool AllAllowed() const {
    for (int kind = 1; kind <= 6; ++kind)
      if (!tutorial.IsActionAllowed(kind)) return false;
    for (const std::string& name : kNine)
      if (!tutorial.IsObjectAllowed(name)) return false;
    return true;
  }

  FakeHud hud;
  QCMiniGame miniGame;
  RecordingTutorial tutorial;
};

TEST(TutorialScriptTable, MatchesTheDesignRowByRow) {
  ASSERT_EQ(kTutorialScriptCount, 1);
  const QCTutorial::Script& script = kTutorialScripts[0];
  EXPECT_EQ(script.day, 1);
  ASSERT_EQ(script.stepCount, 49);
  ASSERT_EQ(std::size(kDesignedSteps), 49u);
  EXPECT_EQ(std::vector<int>(script.awardElements, script.awardElements + script.awardCount),
            (std::vector<int>{0, 0, 1, 0, 1, 1, 3, 1}));
  for (int i = 0; i < script.awardCount; ++i) EXPECT_EQ(script.awardFlags[i], 0);
  for (int i = 0; i < script.stepCount; ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    const QCTutorial::Step& step = script.steps[i];
    std::vector<std::string> cells = Split(kDesignedSteps[i], '|');
    ASSERT_EQ(cells.size(), 12u);
    auto number = [](const std::string& cell) { return cell.empty() ? 0 : std::stoi(cell); };
    auto kinds = [](const std::string& cell) {
      std::vector<int> out;
      for (const std::string& k : Split(cell, ',')) out.push_back(std::stoi(k));
      return out;
    };
    auto names = [](const std::string& cell) { return cell == "*" ? kNine : Split(cell, ','); };
    EXPECT_EQ(step.wait, number(cells[0]));
    EXPECT_FLOAT_EQ(step.delay, std::stof(cells[1]));
    EXPECT_EQ(step.showPanel, number(cells[2]));
    EXPECT_EQ(step.hidePanel, number(cells[3]));
    EXPECT_EQ(Kinds(step.hold), kinds(cells[4]));
    EXPECT_EQ(Kinds(step.release), kinds(cells[5]));
    EXPECT_EQ(Names(step.lock), names(cells[6]));
    EXPECT_EQ(Names(step.unlock), names(cells[7]));
    EXPECT_EQ(step.click ? std::string(step.click) : std::string(), cells[8]);
    EXPECT_EQ(step.awards, number(cells[9]));
    EXPECT_EQ(step.tutorBackground, number(cells[10]));
    EXPECT_EQ(step.enableElement, number(cells[11]));
  }
}

TEST_F(TutorialTest, NoScriptButOnDayOne) {
  for (int day : {0, 2, 17, 60}) {
    tutorial.StartForDay(day);
    EXPECT_FALSE(tutorial.IsRunning());
    EXPECT_TRUE(AllAllowed());
    bool flag = true;
    EXPECT_EQ(tutorial.NextScriptedAward(flag), -1);
    tutorial.OnEvent(1);
    Frame();
    EXPECT_TRUE(hud.panels.empty());
  }
}

TEST_F(TutorialTest, StepZeroLocksAndHoldsAndStepOneFollowsTheFirstArrival) {
  tutorial.StartForDay(1);
  EXPECT_EQ(tutorial.CurrentStep(), 1);
  for (const std::string& name : kNine) EXPECT_FALSE(tutorial.IsObjectAllowed(name)) << name;
  EXPECT_TRUE(tutorial.IsObjectAllowed("table02"));
  for (int kind : {1, 3, 4, 6}) EXPECT_FALSE(tutorial.IsActionAllowed(kind)) << kind;
  EXPECT_TRUE(tutorial.IsActionAllowed(2));
  EXPECT_TRUE(tutorial.IsActionAllowed(5));  // customers may still come
  Frames(1.0f);
  tutorial.OnEvent(2);
  EXPECT_EQ(tutorial.CurrentStep(), 1);
  tutorial.OnEvent(1);
  EXPECT_EQ(tutorial.CurrentStep(), 2);
  EXPECT_FALSE(tutorial.IsActionAllowed(5));
  EXPECT_TRUE(tutorial.IsObjectAllowed("client_place02"));
  EXPECT_TRUE(hud.panels[1]);
}

TEST_F(TutorialTest, AWaitingStepIgnoresOtherEventsAfterItsTimer) {
  tutorial.StartForDay(1);
  tutorial.OnEvent(1);  // step 1; step 2 waits for a click
  Frames(10.0f);
  for (int id : {0, 1, 3, 4, 5, 6, 7, 8}) tutorial.OnEvent(id);
  EXPECT_EQ(tutorial.CurrentStep(), 2);
  tutorial.OnEvent(2);
  EXPECT_EQ(tutorial.CurrentStep(), 3);
  EXPECT_FALSE(hud.panels[1]);
}

TEST_F(TutorialTest, ClosingThePanelCutsTheDelayShort) {
  tutorial.StartForDay(1);
  for (int id : {1, 2, 4}) tutorial.OnEvent(id);  // step 3 showed panel 2 for 3 s
  ASSERT_EQ(tutorial.CurrentStep(), 4);
  Frames(2.9f);
  EXPECT_EQ(tutorial.CurrentStep(), 4);
  Frames(0.2f);
  EXPECT_EQ(tutorial.CurrentStep(), 5);  // the delay passed

  tutorial.StartForDay(1);
  for (int id : {1, 2, 4}) tutorial.OnEvent(id);
  Frames(1.0f);
  hud.panels[2] = false;  // the player closes it
  Frame();
  EXPECT_EQ(tutorial.CurrentStep(), 5);
}

// The click that closes note 2 runs the step that shows note 4 once; note 4 then stays up until the
// event its step waits for, however long the player looks at it. The same for note 10 and note 11.
TEST_F(TutorialTest, ClosingANoteShowsTheNextOneAndLeavesItUp) {
  tutorial.StartForDay(1);
  for (int id : {1, 2, 4}) tutorial.OnEvent(id);
  Frames(0.5f);
  hud.panels[2] = false;  // the player clicks note 2 away
  Frame();
  EXPECT_EQ(tutorial.CurrentStep(), 5);
  Frames(10.0f);
  EXPECT_TRUE(hud.panels[4]);
  EXPECT_EQ(tutorial.CurrentStep(), 5);
  for (int id : {2, 2, 2}) tutorial.OnEvent(id);  // baker, cook, juicer
  Frames(3.1f);
  for (int id : {8, 2, 2, 3}) tutorial.OnEvent(id);  // the cake: taken, served, paid
  ASSERT_EQ(tutorial.CurrentStep(), 13);
  EXPECT_TRUE(hud.panels[10]);
  hud.panels[10] = false;
  Frame();
  Frames(10.0f);
  EXPECT_TRUE(hud.panels[11]);
  EXPECT_EQ(tutorial.CurrentStep(), 14);
  EXPECT_TRUE(tutorial.IsObjectAllowed("wash_stand"));
}

TEST_F(TutorialTest, WithoutPanelsTheDelaysAreSkipped) {
  hud.reportPanels = false;
  tutorial.StartForDay(1);
  for (int id : {1, 2, 4}) tutorial.OnEvent(id);
  Frame();
  EXPECT_EQ(tutorial.CurrentStep(), 5);
}

// The whole day with a player who does what the panels ask.
TEST_F(TutorialTest, ScriptedWalkThroughTheWholeDay) {
  const std::vector<int> waits = {0, 1, 2, 4, 0, 2, 2, 2, 0, 8, 2, 2, 3, 0, 2, 2, 1, 2, 4, 0, 2, 2, 0, 0, 2,
                                  0, 0, 1, 0, 1, 0, 1, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 6, 0, 6, 0, 1};
  tutorial.StartForDay(1);
  std::map<int, bool> background;
  for (int step = 1; step < 49; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    ASSERT_TRUE(tutorial.IsRunning());
    ASSERT_EQ(tutorial.CurrentStep(), step);
    if (step == 2) {
      EXPECT_FALSE(tutorial.IsActionAllowed(5));
    }
    if (step == 8) {
      for (int kind : {2, 3, 4}) EXPECT_TRUE(tutorial.IsActionAllowed(kind));
      EXPECT_FALSE(tutorial.IsActionAllowed(1));
    }
    if (step == 16 || step == 27) {
      EXPECT_TRUE(tutorial.IsActionAllowed(5));
    }
    if (step == 26) {
      EXPECT_FALSE(tutorial.IsActionAllowed(6));
    }
    if (step == 27) {
      EXPECT_TRUE(tutorial.IsActionAllowed(6));
    }
    Advance(waits[step]);
    background[step] = hud.background;
    if (step == 43) {
      ASSERT_EQ(miniGame.Elements().size(), 4u);
      std::vector<int> kinds;
      for (const auto& placed : miniGame.Elements()) kinds.push_back(placed.record.kind);
      EXPECT_EQ(kinds, (std::vector<int>{0, 0, 1, 0}));
      for (int i = 0; i < 4; ++i) EXPECT_EQ(miniGame.Elements()[i].widget->mDisabled, i != 2) << i;
    }
  }
  EXPECT_FALSE(tutorial.IsRunning());
  EXPECT_TRUE(AllAllowed());
  EXPECT_EQ(tutorial.clicks, (std::vector<std::string>{"table01", "table04", "table03", "client_place04",
                                                       "client_place03", "client_place02"}));
  for (int step = 1; step < 49; ++step) EXPECT_EQ(background[step], step >= 25 && step <= 42) << step;
  bool flag = true;
  EXPECT_EQ(tutorial.NextScriptedAward(flag), -1);  // the script has ended
}

TEST_F(TutorialTest, PreparedAwardsThenNone) {
  tutorial.StartForDay(1);
  std::vector<int> kinds;
  for (int i = 0; i < 9; ++i) {
    bool flag = true;
    kinds.push_back(tutorial.NextScriptedAward(flag));
    if (i < 8) {
      EXPECT_FALSE(flag);
    }
  }
  EXPECT_EQ(kinds, (std::vector<int>{0, 0, 1, 0, 1, 1, 3, 1, -1}));
}

TEST_F(TutorialTest, StepFortyThreeWithThePreparedAwardsUsedUp) {
  tutorial.StartForDay(1);
  bool flag = false;
  while (tutorial.NextScriptedAward(flag) >= 0) {
  }
  const std::vector<int> events = {1, 2, 4, 0, 2, 2, 2, 0, 8, 2, 2, 3, 0, 2, 2, 1, 2, 4, 0, 2, 2, 0,
                                   0, 2, 0, 0, 1, 0, 1, 0, 1, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2, 0, 2};
  for (int id : events) Advance(id);
  EXPECT_EQ(tutorial.CurrentStep(), 44);
  EXPECT_TRUE(miniGame.Elements().empty());
}

TEST_F(TutorialTest, ResetEndsTheScriptAnywhere) {
  tutorial.StartForDay(1);
  for (int id : {1, 2, 4}) tutorial.OnEvent(id);
  tutorial.Reset();
  EXPECT_FALSE(tutorial.IsRunning());
  EXPECT_TRUE(AllAllowed());
  Frames(5.0f);
  tutorial.OnEvent(2);
  EXPECT_EQ(tutorial.CurrentStep(), 0);
}

}  // namespace
