#pragma once
// One fuzz input: a ui.xml document from which every screen is made, shown, updated, clicked on each
// of its buttons (questions answered at once) and hidden; then everything goes again.
#include <string>
#include <vector>

#include "ScreenGame.h"
#include "engine/QCDialog.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Confirm1.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_Upgrade.h"
#include "ui/QCButton.h"
#include "ui/UiTestWorld.h"
#include "ui/UiXmlDoc.h"

namespace screen_fuzz {

inline void CollectButtons(QCCandyWidget* widget, std::vector<QCButton*>& buttons) {
  for (const auto& [name, child] : widget->mChildren) {
    if (auto* button = dynamic_cast<QCButton*>(child)) buttons.push_back(button);
    CollectButtons(child, buttons);
  }
}

inline void ReleaseButton(QCButton* button) {
  if (auto* dialog = dynamic_cast<QCDialog*>(button->mParentWidget)) dialog->OnButtonReleased(button->GetId());
}

// Answers whatever question is open with its first button.
inline void AnswerQuestions() {
  for (QCConfirmDialog* dialog :
       {static_cast<QCConfirmDialog*>(GetConfirm2()), static_cast<QCConfirmDialog*>(GetConfirm1())}) {
    if (dialog != nullptr && dialog->mVisible) dialog->ButtonDepress(0);
  }
}

inline void Run(UiTestWorld& world, const std::string& xml) {
  auto& game = static_cast<ScreenGame&>(*world.engine);
  game.onStep = AnswerQuestions;
  game.stepsLeft = 50;
  {
    UiXmlDoc ui(xml);
    game.MakeScreens(ui.Root());
    auto* pause = new QCBoard_EscapeMenu(&game, ui.Root());
    world.Manager()->AddChild(pause);
    // The in-game screens without a board: everything they ask of one is skipped.
    world.Manager()->AddChild(new QBoard_Hud(nullptr, &game, ui.Root()));
    world.Manager()->AddChild(new QCBoard_Briefing(&game, ui.Root()));
    world.Manager()->AddChild(new QCBoard_Upgrade(&game, ui.Root()));
    game.OnLoadingFinished();
  }
  world.Update(100);
  std::vector<QCDialog*> screens;
  for (Velk::Widget* child : world.Manager()->mWidgets) {
    if (auto* screen = dynamic_cast<QCDialog*>(child); screen != nullptr && child != game.GetRootDialog())
      screens.push_back(screen);
  }
  for (QCDialog* screen : screens) {
    screen->Show();
    world.Update(100);
    std::vector<QCButton*> buttons;
    CollectButtons(screen, buttons);
    for (QCButton* button : buttons) {
      game.stepsLeft = 50;
      ReleaseButton(button);
      world.Update(2);
    }
    screen->Hide();
    world.Update(2);
  }
  world.Manager()->RemoveAllChildren(true, false);
  game.mScreens = {};
  game.mBoard = nullptr;
  game.mMenu = nullptr;
  game.mMainMenu = nullptr;
  game.mOptions = nullptr;
  game.mHelp = nullptr;
  game.mHiScores = nullptr;
  game.mCareer = nullptr;
  game.mSurvival = nullptr;
  game.mSplash = nullptr;
  game.mLoadScreen = nullptr;
  game.onStep = nullptr;
}

}  // namespace screen_fuzz
