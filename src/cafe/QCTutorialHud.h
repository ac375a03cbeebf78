#pragma once
// What the tutorial needs of the level's HUD: its numbered help panels ("tutorial" + number) and the
// dimmed backdrop behind the script's own moves ("tutor_bg").

class QCTutorialHud {
 public:
  virtual void ShowTutorialControl(int number, bool show) = 0;
  // False when the HUD has no panel of that number.
  virtual bool IsTutorialControlVisible(int number) const = 0;
  virtual void ShowTutorBackground(bool show) = 0;

 protected:
  ~QCTutorialHud() = default;
};
