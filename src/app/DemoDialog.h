#pragma once
// A playback jump dialog: Enter presses "Ok", the default button, and Escape presses "Cancel".
#include "widgets/Dialog.h"

namespace Velk {

class DemoDialog : public Dialog {
 public:
  DemoDialog(Image* buttonImage, int id, const std::wstring& title);

  void KeyDown(int key) override;
};

}  // namespace Velk
