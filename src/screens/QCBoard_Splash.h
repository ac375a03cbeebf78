#pragma once
// The start-up pictures ("splash"): each child with a picture is shown in document order, the next
// once the one before has been seen and has gone (by its effect or by a key); after the last the
// splash hides itself and opens the menus. The game cursor stays hidden meanwhile.

#include <vector>

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Splash : public QCDialog {
 public:
  QCBoard_Splash(QCEngine3* app, IXMLDOMNode* uiRoot);

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void KeyDown(int key) override;
  void Activate() override;
  void Deactivate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;

  std::vector<QCCandyWidget*> mPictures;  // not owned
  int mCurrent = 0;
  bool mSeen = false;

 private:
  void NextPicture();

  QCEngine3* mGame;
};
