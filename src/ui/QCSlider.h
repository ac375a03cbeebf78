#pragma once
#include "engine/QCCandyWidget.h"

class QCBar;
class QCEngine;
class QCText;

// A horizontal value control: a press inside the mouse zone sets the value from 0 to the maximum; a
// background, a fill bar and a thumb show it. Its owner reads the value when it needs it.
class QCSlider : public QCCandyWidget {
 public:
  explicit QCSlider(QCCandyWidget* parent);
  ~QCSlider() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  virtual void SetMax(int max);
  // Not clamped here: the next update of the shown slider clamps it.
  virtual void SetValue(int value);
  virtual int GetValue() const { return mValue; }

  void Update() override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void Activate() override {}
  void Deactivate() override {}
  // Remembers "back", "bar" and "thumb"; no part takes the mouse.
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  using Velk::Widget::MouseDown;

  int GetMax() const { return mMax; }
  QCBar* GetBar() const { return mBar; }
  QCText* GetThumb() const { return mThumb; }

 private:
  // The value a press at x gives (the zone test has passed).
  int ValueAt(int x) const;
  void PlaceThumb();

  int mMax = 0;
  int mValue = 0;
  QCBar* mBar = nullptr;
  QCText* mThumb = nullptr;
  QCText* mBack = nullptr;
  int mZoneX = 0;
  int mZoneY = 0;
  int mZoneWidth = 0;
  int mZoneHeight = 0;
  int mDeadLeft = 0;
  int mDeadRight = 0;
  int mThumbMargin = 0;  // the thumb's laid-out x: the inset of the track at both ends
};
