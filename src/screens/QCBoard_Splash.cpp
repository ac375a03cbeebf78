#include "screens/QCBoard_Splash.h"

#include "cafe/QCEngine3.h"
#include "engine/QCCursorManager.h"
#include "engine/QCTexture.h"
#include "graphics/Graphics.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/ScreenServices.h"
#include "widgets/WidgetManager.h"

QCBoard_Splash::QCBoard_Splash(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "splash");
}

// A child without a picture stays hidden for good.
void QCBoard_Splash::BindControl(const std::string& name, QCCandyWidget* widget) {
  widget->SetVisible(false);
  QCTexture* background = widget->GetTexture(0, 0);
  if (background != nullptr && !background->IsEmpty()) mPictures.push_back(widget);
  QCDialog::BindControl(name, widget);
}

void QCBoard_Splash::Activate() {
  QCDialog::Activate();
  // Nothing to show: the splash makes way for the menus at once.
  if (mPictures.empty()) {
    SetVisible(false);
    return;
  }
  if (QCCursorManager* cursors = mGame->GetCursorManager()) cursors->HideCursor();
  mGame->mWidgetManager->SetFocus(this);
  mPictures[mCurrent]->Show();
}

void QCBoard_Splash::Deactivate() {
  QCDialog::Deactivate();
  if (QCCursorManager* cursors = mGame->GetCursorManager()) cursors->ShowCursor();
  mGame->mWidgetManager->SetFocus(nullptr);
  ShowIf(mGame->mMenu);
  ShowIf(mGame->mMainMenu);
}

void QCBoard_Splash::Update() {
  QCDialog::Update();
  if (!mVisible || mPictures.empty()) return;
  QCCandyWidget* picture = mPictures[mCurrent];
  if (picture->mVisible) mSeen = true;
  if (mSeen && !picture->mVisible) NextPicture();
}

void QCBoard_Splash::NextPicture() {
  if (mCurrent < static_cast<int>(mPictures.size()) - 1) {
    ++mCurrent;
    mPictures[mCurrent]->Show();
    mSeen = false;
  } else {
    Hide();
  }
}

void QCBoard_Splash::KeyDown(int) {
  if (mPictures.empty()) return;
  mPictures[mCurrent]->SetVisible(false);
  mSeen = true;
}

void QCBoard_Splash::Draw(Velk::Graphics* g) {
  g->SetColor(Velk::Color(0, 0, 0, 255));
  g->FillRect(0, 0, mWidth, mHeight);
}
