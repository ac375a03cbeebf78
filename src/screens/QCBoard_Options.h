#pragma once
// The settings screen ("options"): sound and music volume and mute follow the controls while it is
// open; "cancel" puts back what was in force when it opened, "apply" also switches the screen mode
// and writes pref.dat.

#include "engine/QCDialog.h"

class QCCheckBox;
class QCEngine3;
class QCSlider;

class QCBoard_Options : public QCDialog {
 public:
  QCBoard_Options(QCEngine3* app, IXMLDOMNode* uiRoot);

  void Update() override;
  void OnShowHook() override;
  void OnHideHook() override;
  void Activate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;
  // Copies the controls into the stored settings and the sound layer (while visible).
  void SyncLiveSettings();

  QCCheckBox* mMuteCheckbox = nullptr;
  QCCheckBox* mFullscreenCheckbox = nullptr;
  QCCandyWidget* mCancel = nullptr;
  QCCandyWidget* mApply = nullptr;
  QCSlider* mSndvolSlider = nullptr;
  QCSlider* mMusvolSlider = nullptr;
  // What "cancel" puts back.
  int mSavedSoundVolume = 100;
  int mSavedMusicVolume = 100;
  bool mSavedFullscreen = false;
  bool mSavedMute = false;

 private:
  void SaveControls();
  void RestoreControls();
  void Apply();

  QCEngine3* mGame;
};
