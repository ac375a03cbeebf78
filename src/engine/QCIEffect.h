#pragma once
// What an effect drives in its owner (a widget, a scene object, an item part): the seven values
// the exported callbacks write, in this slot order. Owners only store; they apply the values on
// their next update.

class QCIEffect {
 public:
  virtual void SetAlpha(float alpha) = 0;     // slot 0: alpha or opacity
  virtual void SetScale(float scale) = 0;     // slot 1
  virtual void SetVisible(bool visible) = 0;  // slot 2
  virtual void SetPivotX(int x) = 0;          // slot 3: the scale point
  virtual void SetPivotY(int y) = 0;          // slot 4
  virtual void SetOffsetX(int x) = 0;         // slot 5
  virtual void SetOffsetY(int y) = 0;         // slot 6

 protected:
  ~QCIEffect() = default;
};
