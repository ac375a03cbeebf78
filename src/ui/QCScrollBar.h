#pragma once
#include "engine/QCCandyWidget.h"
#include "widgets/ButtonListener.h"

class QCButton;
class QCEngine;

// A value from 0 to a maximum, shown by a slider button on a straight track, stepped by one with an
// up and a down arrow. It draws nothing itself; its buttons are its children. Built inside a list,
// it repaints the list when an arrow moves it; built anywhere else its owner reads the value.
class QCScrollBar : public QCCandyWidget, public Velk::ButtonListener {
 public:
  enum ButtonId { UpId = 1, DownId = 2, SliderId = 3 };

  explicit QCScrollBar(QCCandyWidget* parent);
  ~QCScrollBar() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  // A maximum of 0 or less disables the arrows and hides the slider.
  void SetMax(int max);
  // The slider stands at (x1, y1) for 0 and at (x2, y2) for the maximum.
  void SetTrack(int x1, int y1, int x2, int y2);

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  // Disables the arrows and hides the slider; the bar's own flag stays as it is.
  void SetDisabled(bool disabled) override;
  void OnButtonPressed(int id) override;
  using Velk::ButtonListener::OnButtonPressed;

  QCButton* mUp = nullptr;
  QCButton* mDown = nullptr;
  QCButton* mSlider = nullptr;
  int mMax = 0;
  int mValue = 0;
  int mDistX1 = 0;
  int mDistX2 = 0;
  int mDistY1 = 0;
  int mDistY2 = 0;

 private:
  QCButton* BuildButton(IXMLDOMNode* node, const wchar_t* query, const char* name, int id, QCEngine* app);
};
