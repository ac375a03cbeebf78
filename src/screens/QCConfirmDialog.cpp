#include "screens/QCConfirmDialog.h"

#include "cafe/QCEngine3.h"
#include "engine/EngineUtil.h"
#include "engine/LocTexts.h"
#include "engine/QCEngine.h"
#include "engine/QCTexture.h"
#include "graphics/Image.h"
#include "screens/ConfirmDialogs.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"

namespace {

std::wstring Text(const char* pattern, const std::string& id) { return GetLocText(pattern + id); }

}  // namespace

QCConfirmDialog::QCConfirmDialog(QCEngine3* app, IXMLDOMNode* uiRoot, const char* element, bool twoButtons)
    : QCDialog(nullptr, app), mTwoButtons(twoButtons) {
  LoadFromUi(uiRoot, element);
}

QCConfirmDialog::~QCConfirmDialog() = default;

void QCConfirmDialog::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "btn_yes") {
    mBtnYes = widget;
  } else if (mTwoButtons && name == "btn_no") {
    mBtnNo = widget;
  } else if (name == "text1") {
    mText1 = dynamic_cast<QCText*>(widget);
  } else if (name == "text2") {
    mText2 = dynamic_cast<QCText*>(widget);
  } else if (name == "icon") {
    mIcon = dynamic_cast<QCText*>(widget);
  }
  QCDialog::BindControl(name, widget);
}

void QCConfirmDialog::ButtonDepress(int id) {
  mResult = (!mTwoButtons || QCButton::IsId(id, mBtnYes)) ? 1 : 0;
  Hide();
}

// An icon whose picture is missing shows nothing rather than the picture of an earlier question.
void QCConfirmDialog::SetIcon(const std::string& id) {
  QCTextureManager* textures = QCTextureManager::Get();
  QCTextureRef picture = textures != nullptr ? textures->Find("db01_icon_" + id) : QCTextureRef();
  Velk::Image* image = picture.GetImage();
  const int rect[4] = {0, 0, image != nullptr ? image->GetWidth() : 0, image != nullptr ? image->GetHeight() : 0};
  mIcon->SetTextureImage(0, image != nullptr ? picture : QCTextureRef(), rect);
  picture.Release();
}

void QCConfirmDialog::FillQuestion(const std::string& id) {
  if (mIcon != nullptr) SetIcon(id);
  if (mText1 != nullptr) mText1->SetText(Text("db01_text1_", id));
  if (mText2 != nullptr) mText2->SetText(Text("db01_text2_", id));
  if (auto* yes = dynamic_cast<QCButton*>(mBtnYes)) yes->SetLabel(Text("db01_btnyes_", id));
  if (auto* no = dynamic_cast<QCButton*>(mBtnNo)) no->SetLabel(Text("db01_btnno_", id));
}

int QCConfirmDialog::Ask(const std::string& id) {
  if (mWaiting) {
    DebugLog("Question \"%s\" refused: the dialog still waits for an answer", id.c_str());
    return kNoAnswer;
  }
  QCEngine* app = GetEngine();
  Velk::WidgetManager* manager = app != nullptr ? app->mWidgetManager : nullptr;
  if (manager == nullptr) return kNoAnswer;
  FillQuestion(id);
  mResult = kNoAnswer;
  // Taken before the dialog shows: a modal dialog takes the focus away as it opens.
  Velk::Widget* previousFocus = manager->mFocusWidget;
  QCDialog* backdrop = GetConfirmBackdrop();
  if (backdrop != nullptr) {
    manager->BringToFront(backdrop);
    backdrop->SetVisible(true);
  }
  manager->BringToFront(this);
  Show();
  manager->SetFocus(this);
  mWaiting = true;
  while (app->RunLoopStep() && mWidgetManager != nullptr && mResult == kNoAnswer) {
  }
  mWaiting = false;
  manager->SetFocus(previousFocus);
  if (backdrop != nullptr) backdrop->SetVisible(false);
  return mResult;
}
