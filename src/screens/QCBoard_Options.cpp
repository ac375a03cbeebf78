#include "screens/QCBoard_Options.h"

#include "cafe/QCEngine3.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCCheckBox.h"
#include "ui/QCSlider.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kMaxVolume = 100;

}  // namespace

QCBoard_Options::QCBoard_Options(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "options");
  if (mSndvolSlider != nullptr) mSndvolSlider->SetMax(kMaxVolume);
  if (mMusvolSlider != nullptr) mMusvolSlider->SetMax(kMaxVolume);
}

void QCBoard_Options::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "apply") {
    mApply = widget;
  } else if (name == "cancel") {
    mCancel = widget;
  } else if (name == "mute_checkbox") {
    mMuteCheckbox = dynamic_cast<QCCheckBox*>(widget);
  } else if (name == "fullscreen_checkbox") {
    mFullscreenCheckbox = dynamic_cast<QCCheckBox*>(widget);
  } else if (name == "sndvol_slider") {
    mSndvolSlider = dynamic_cast<QCSlider*>(widget);
  } else if (name == "musvol_slider") {
    mMusvolSlider = dynamic_cast<QCSlider*>(widget);
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_Options::OnShowHook() {
  if (mParent != nullptr) {
    mParent->BringToFront(this);
    mGame->mWidgetManager->SetFocus(this);
  }
  const QCPrefHeader& settings = mGame->mPref.mHeader;
  if (mFullscreenCheckbox != nullptr) mFullscreenCheckbox->SetChecked(!mGame->mIsWindowed);
  if (mMuteCheckbox != nullptr) mMuteCheckbox->SetChecked(settings.mMute != 0);
  if (mSndvolSlider != nullptr) mSndvolSlider->SetValue(settings.mSoundVolume);
  if (mMusvolSlider != nullptr) mMusvolSlider->SetValue(settings.mMusicVolume);
  SaveControls();
  PlaySoundByName("window_open");
}

void QCBoard_Options::Activate() {
  QCDialog::Activate();
  const QCPrefHeader& settings = mGame->mPref.mHeader;
  mSavedFullscreen = !mGame->mIsWindowed;
  mSavedMute = settings.mMute != 0;
  mSavedSoundVolume = settings.mSoundVolume;
  mSavedMusicVolume = settings.mMusicVolume;
}

void QCBoard_Options::OnHideHook() {
  if (IsLevelRunning()) mGame->mWidgetManager->SetFocus(GetBoard());
}

void QCBoard_Options::Update() {
  QCDialog::Update();
  SyncLiveSettings();
}

// While muted a moved slider is only stored; the unmute applies both volumes.
void QCBoard_Options::SyncLiveSettings() {
  if (!mVisible) return;
  QCPrefHeader& settings = mGame->mPref.mHeader;
  if (mMuteCheckbox != nullptr && mMuteCheckbox->IsChecked() != (settings.mMute != 0)) {
    settings.mMute = mMuteCheckbox->IsChecked() ? 1 : 0;
    SetSoundVolume(settings.mMute != 0 ? 0 : settings.mSoundVolume);
    SetMusicVolume(settings.mMute != 0 ? 0 : settings.mMusicVolume);
  }
  const bool muted = settings.mMute != 0;
  if (mSndvolSlider != nullptr && mSndvolSlider->GetValue() != settings.mSoundVolume) {
    settings.mSoundVolume = mSndvolSlider->GetValue();
    if (!muted) SetSoundVolume(settings.mSoundVolume);
  }
  if (mMusvolSlider != nullptr && mMusvolSlider->GetValue() != settings.mMusicVolume) {
    settings.mMusicVolume = mMusvolSlider->GetValue();
    if (!muted) SetMusicVolume(settings.mMusicVolume);
  }
}

void QCBoard_Options::SaveControls() {
  if (mMusvolSlider != nullptr) mSavedMusicVolume = mMusvolSlider->GetValue();
  if (mSndvolSlider != nullptr) mSavedSoundVolume = mSndvolSlider->GetValue();
  if (mFullscreenCheckbox != nullptr) mSavedFullscreen = mFullscreenCheckbox->IsChecked();
  if (mMuteCheckbox != nullptr) mSavedMute = mMuteCheckbox->IsChecked();
}

void QCBoard_Options::RestoreControls() {
  if (mMusvolSlider != nullptr) mMusvolSlider->SetValue(mSavedMusicVolume);
  if (mSndvolSlider != nullptr) mSndvolSlider->SetValue(mSavedSoundVolume);
  if (mFullscreenCheckbox != nullptr) mFullscreenCheckbox->SetChecked(mSavedFullscreen);
  if (mMuteCheckbox != nullptr) mMuteCheckbox->SetChecked(mSavedMute);
}

void QCBoard_Options::Apply() {
  SaveControls();
  QCPref& pref = mGame->mPref;
  if (mMusvolSlider != nullptr) pref.mHeader.mMusicVolume = mMusvolSlider->GetValue();
  if (mSndvolSlider != nullptr) pref.mHeader.mSoundVolume = mSndvolSlider->GetValue();
  if (mFullscreenCheckbox != nullptr) pref.mHeader.mWindowed = mFullscreenCheckbox->IsChecked() ? 0 : 1;
  if (mMuteCheckbox != nullptr) pref.mHeader.mMute = mMuteCheckbox->IsChecked() ? 1 : 0;
  pref.ApplySettings();
  pref.Save();
}

// Any other button closes without putting back or saving.
void QCBoard_Options::ButtonDepress(int id) {
  if (QCButton::IsId(id, mCancel)) {
    RestoreControls();
    SyncLiveSettings();
  } else if (QCButton::IsId(id, mApply)) {
    Apply();
  }
  Hide();
}
