#pragma once
// The game's application: the product's identity, the preference store, and the ten top-level
// screens, made from cfg\ui.xml on the loading thread and handed to the widget manager on the main
// thread when loading has finished, with the splash on top.

#include <array>

#include "cafe/QCPref.h"
#include "engine/QCEngine.h"

class IXMLDOMNode;
class QCBoard_Game3;
class QCBoard_Menu;
class QCBoard_MainMenu;
class QCBoard_Options;
class QCBoard_Help;
class QCBoard_HiScores;
class QCBoard_Career;
class QCBoard_Survival;
class QCBoard_Splash;
class QCBoard_LoadScreen;

namespace Velk {
class Widget;
}

class QCEngine3 : public QCEngine {
 public:
  // The screens, in the order they are made.
  enum Screen {
    kBoardScreen,
    kLoadScreen,
    kMenuScreen,
    kMainMenuScreen,
    kOptionsScreen,
    kHelpScreen,
    kHiScoresScreen,
    kCareerScreen,
    kSurvivalScreen,
    kSplashScreen,
    kScreenCount
  };
  // Makes one screen from the root element of cfg\ui.xml, on the loading thread, and keeps the
  // application's own pointer to it (mBoard, mMenu, ...). Null when it makes none.
  using ScreenCreator = Velk::Widget* (*)(QCEngine3* app, IXMLDOMNode* uiRoot);
  using ScreenCreators = std::array<ScreenCreator, kScreenCount>;
  // The game's screens; a null creator makes nothing.
  static const ScreenCreators kGameScreens;

  // The screens reach one another through these. Owned by the widget manager once added to it.
  QCBoard_Game3* mBoard = nullptr;
  QCBoard_Menu* mMenu = nullptr;  // the backdrop behind the menus
  QCBoard_MainMenu* mMainMenu = nullptr;
  QCBoard_Options* mOptions = nullptr;
  QCBoard_Help* mHelp = nullptr;
  QCBoard_HiScores* mHiScores = nullptr;
  QCBoard_Career* mCareer = nullptr;
  QCBoard_Survival* mSurvival = nullptr;
  QCBoard_Splash* mSplash = nullptr;
  QCBoard_LoadScreen* mLoadScreen = nullptr;
  QCPref mPref;

  // Every screen that was made, by Screen, whatever its class.
  std::array<Velk::Widget*, kScreenCount> mScreens{};
  // What the loading thread makes the screens with; tests put their own here.
  ScreenCreators mScreenCreators = kGameScreens;

  QCEngine3();
  // Waits for the loading thread before anything goes.
  ~QCEngine3() override;

  // The texts, the window title, pref.dat (with its volumes and screen mode), then the engine.
  void Init() override;
  // The engine's tables and resources, then every screen.
  void LoadResourcesInBackground() override;
  // The confirmation dialogs, then each screen of the creators, from the root of cfg\ui.xml.
  void MakeScreens(IXMLDOMNode* uiRoot);
  // The screens join the widget manager, and the splash shows.
  void OnLoadingFinished() override;
  void OnLevelLoadingStarted() override;
  void OnLevelLoadingFinished() override;

 private:
  // False until the widget manager holds the screens; until then they are the application's.
  bool mScreensAdded = false;
};

// The cafe's rows of the scene's object factory (the application sets them as it is made); false
// when a keyword has no row there.
bool SetCafeObjectCreators();
