#pragma once

namespace Velk {

class DialogListener {
 public:
  virtual ~DialogListener() = default;

  virtual void OnDialogButtonPressed(int dialogId, int buttonId) {
    (void)dialogId;
    (void)buttonId;
  }
  virtual void OnDialogButtonReleased(int dialogId, int buttonId) {
    (void)dialogId;
    (void)buttonId;
  }
};

}  // namespace Velk
