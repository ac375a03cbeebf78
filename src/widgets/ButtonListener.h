#pragma once

namespace Velk {

// What a button reports; everything but the counted press does nothing unless overridden.
class ButtonListener {
 public:
  virtual ~ButtonListener() = default;

  virtual void OnButtonPressed(int id, int clickCount) {
    (void)clickCount;
    OnButtonPressed(id);
  }
  virtual void OnButtonPressed(int) {}
  virtual void OnButtonReleased(int) {}
  virtual void OnButtonHeld(int) {}
  virtual void OnButtonHoverEnter(int) {}
  virtual void OnButtonHoverLeave(int) {}
  virtual void OnButtonHoverMove(int, int, int) {}
};

}  // namespace Velk
