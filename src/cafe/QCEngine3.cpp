#include "cafe/QCEngine3.h"

#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCClientSit.h"
#include "cafe/QCClientStand.h"
#include "cafe/QCItemBonus.h"
#include "cafe/QCPeriodItem.h"
#include "cafe/QCStatus_Bubble.h"
#include "cafe/QCStatus_HP_Client.h"
#include "cafe/QCStatus_HP_Worker.h"
#include "cafe/QCTrash.h"
#include "cafe/QCTray.h"
#include "cafe/QCWorker.h"
#include "engine/LocTexts.h"
#include "engine/XmlAccess.h"
#include "exports/ExportTable.h"
#include "scene/LevelLog.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Splash.h"
#include "screens/QCBoard_Survival.h"
#include "ui/UiWidgets.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace {

// Bottom to top: the backdrop lowest, the splash over everything.
constexpr QCEngine3::Screen kStackingOrder[] = {
    QCEngine3::kMenuScreen,  QCEngine3::kLoadScreen,     QCEngine3::kMainMenuScreen, QCEngine3::kOptionsScreen,
    QCEngine3::kHelpScreen,  QCEngine3::kHiScoresScreen, QCEngine3::kCareerScreen,   QCEngine3::kSurvivalScreen,
    QCEngine3::kBoardScreen, QCEngine3::kSplashScreen,
};
static_assert(std::size(kStackingOrder) == QCEngine3::kScreenCount);

// Makes the screen and keeps the application's pointer to it.
template <typename Screen, Screen* QCEngine3::*Slot>
Velk::Widget* MakeScreen(QCEngine3* app, IXMLDOMNode* uiRoot) {
  app->*Slot = new Screen(app, uiRoot);
  return app->*Slot;
}

// The board reads the customers', workers' and pick-ups' settings of cfg.xml as soon as it exists.
Velk::Widget* MakeBoard(QCEngine3* app, IXMLDOMNode* uiRoot) {
  MakeScreen<QCBoard_Game3, &QCEngine3::mBoard>(app, uiRoot);
  app->mBoard->LoadObjectConfigs();
  return app->mBoard;
}

template <typename Item>
QCItem* MakeItem() {
  return new Item();
}

struct CafeCreator {
  const char* keyword;
  SceneObjectCreator creator;
};

constexpr CafeCreator kCafeCreators[] = {
    {"boss", &MakeItem<QCBoss>},
    {"worker", &MakeItem<QCWorker>},
    {"tray", &MakeItem<QCTray>},
    {"status_bubble", &MakeItem<QCStatus_Bubble>},
    {"trash_bin", &MakeItem<QCTrash>},
    {"status_hp_worker", &MakeItem<QCStatus_HP_Worker>},
    {"status_hp_client", &MakeItem<QCStatus_HP_Client>},
    {"period_item", &MakeItem<QCPeriodItem>},
    {"client", &MakeItem<QCClientStand>},
    {"client_sit", &MakeItem<QCClientSit>},
    {"item_bonus", &MakeItem<QCItemBonus>},
};

}  // namespace

// A keyword the scene's factory lacks would leave its objects made as plain items: say which.
bool SetCafeObjectCreators() {
  bool all = true;
  for (const CafeCreator& row : kCafeCreators) {
    if (SetSceneObjectCreator(row.keyword, row.creator)) continue;
    LevelLog("Scene: the object factory has no keyword \"%s\"; its cafe objects are not made", row.keyword);
    all = false;
  }
  return all;
}

const QCEngine3::ScreenCreators QCEngine3::kGameScreens = {
    MakeBoard,
    MakeScreen<QCBoard_LoadScreen, &QCEngine3::mLoadScreen>,
    MakeScreen<QCBoard_Menu, &QCEngine3::mMenu>,
    MakeScreen<QCBoard_MainMenu, &QCEngine3::mMainMenu>,
    MakeScreen<QCBoard_Options, &QCEngine3::mOptions>,
    MakeScreen<QCBoard_Help, &QCEngine3::mHelp>,
    MakeScreen<QCBoard_HiScores, &QCEngine3::mHiScores>,
    MakeScreen<QCBoard_Career, &QCEngine3::mCareer>,
    MakeScreen<QCBoard_Survival, &QCEngine3::mSurvival>,
    MakeScreen<QCBoard_Splash, &QCEngine3::mSplash>,
};

QCEngine3::QCEngine3() {
  mProdName = "Pelune Cafe";
  mTitle = L"";
  mProductVersion = "1.0";
  mRegKey = "Drimak Games\\Pelune Cafe";
  SetCafeObjectCreators();
  // The effects find their callbacks by name once the definitions load in Init.
  RegisterEffectCallbacks();
  // The screens' dialogs are built from ui.xml with the game's own widget types.
  RegisterUiWidgetCreators();
}

QCEngine3::~QCEngine3() {
  // Nothing may go while the loading thread still makes screens.
  WaitForLoader();
  // Screens never handed to the widget manager are deleted here (the board's destructor stops its
  // level and clears its scene and configurations); added ones go with the manager.
  if (!mScreensAdded) {
    for (Velk::Widget* screen : mScreens) delete screen;
    DropConfirmDialogs();
  }
  mScreens = {};
  mBoard = nullptr;
  mMenu = nullptr;
  mMainMenu = nullptr;
  mOptions = nullptr;
  mHelp = nullptr;
  mHiScores = nullptr;
  mCareer = nullptr;
  mSurvival = nullptr;
  mSplash = nullptr;
  mLoadScreen = nullptr;
}

void QCEngine3::Init() {
  // Before anything is read from the archives or written to pref.dat.
  StopOnDamagedArchive();
  m3DTestRequested = true;
  mVSyncUpdates = true;
  // The texts first: the default hi-score tables of a new pref.dat are made of them, and nothing
  // may be written while they are missing.
  if (!LoadLocTable()) StopOnUnreadableFile(LocTexts::kFile);
  mTitle = GetLocText(CafeNames::kAppTitle);
  // A second copy of the game ends here, before it reads or writes pref.dat or the settings.
  ClaimPlayerFiles(mPref.GetFolder());
  mPref.Load();
  QCEngine::Init();
}

void QCEngine3::LoadResourcesInBackground() {
  QCEngine::LoadResourcesInBackground();
  XmlNodeRef root = LoadXmlRoot("cfg\\ui.xml");
  MakeScreens(root.Get());
}

void QCEngine3::MakeScreens(IXMLDOMNode* uiRoot) {
  // The confirmation dialogs and their backdrop first: the screens ask their questions on them.
  CreateConfirmDialogs(this, uiRoot);
  for (int screen = 0; screen < kScreenCount; ++screen) {
    if (mScreenCreators[screen] != nullptr) mScreens[screen] = mScreenCreators[screen](this, uiRoot);
  }
}

// On the main thread: the widget tree is never changed from the loading thread.
void QCEngine3::OnLoadingFinished() {
  QCEngine::OnLoadingFinished();
  // Below the screens: first the confirmation dialogs and their backdrop, then the board's escape
  // menu.
  AddConfirmDialogs(mWidgetManager);
  if (mBoard != nullptr && mBoard->mEscapeMenu != nullptr) mWidgetManager->AddChild(mBoard->mEscapeMenu);
  for (Screen screen : kStackingOrder) {
    if (mScreens[screen] != nullptr) mWidgetManager->AddChild(mScreens[screen]);
  }
  mScreensAdded = true;
  if (mSplash != nullptr) {
    mSplash->Show();
  } else if (mScreens[kSplashScreen] != nullptr) {
    mScreens[kSplashScreen]->SetVisible(true);
  }
}

// The main menu leaves the screen for the level, whichever screen started it: the board does not
// cover the whole screen, and no page of the book may show around it while the level runs. The level
// end and the book screens bring it back as before.
void QCEngine3::OnLevelLoadingStarted() {
  if (mScreens[kMainMenuScreen] != nullptr) mScreens[kMainMenuScreen]->SetVisible(false);
  Velk::Widget* loading = mScreens[kLoadScreen];
  if (loading == nullptr) return;
  mWidgetManager->SetFocus(loading);
  mWidgetManager->BringToFront(loading);
  loading->SetVisible(true);
}

void QCEngine3::OnLevelLoadingFinished() {
  if (mScreens[kLoadScreen] != nullptr) mScreens[kLoadScreen]->SetVisible(false);
}
