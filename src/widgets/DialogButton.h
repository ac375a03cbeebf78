#pragma once
#include "widgets/ButtonWidget.h"

namespace Velk {

// A dialog's push button; with a component image it draws each state as a nine-part box.
class DialogButton : public ButtonWidget {
 public:
  Image* mComponentImage;  // not owned
  int mTranslateX = 1;     // shift of the pressed look
  int mTranslateY = 1;
  int mTextOffsetX = 0;
  int mTextOffsetY = 0;

  DialogButton(Image* componentImage, int id, ButtonListener* listener);

  void Draw(Graphics* g) override;

 private:
  void DrawCells(Graphics* g, bool pressed);
};

}  // namespace Velk
