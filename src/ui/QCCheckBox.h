#pragma once
#include "engine/QCCandyWidget.h"

class QCEngine;
class QCTexture;

// An on/off control drawn from textures: normal, over and disabled for each state. A release over
// the box toggles it; its owner reads and sets the state.
class QCCheckBox : public QCCandyWidget {
 public:
  explicit QCCheckBox(QCCandyWidget* parent);
  ~QCCheckBox() override;

  virtual void SetChecked(bool checked);
  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  virtual bool IsChecked() const { return mChecked; }

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseUp(int x, int y, int button, int clickCount) override;
  using Velk::Widget::MouseUp;

 private:
  // One state's textures, owned by the widget's texture set; each may be missing.
  struct TextureSet {
    QCTexture* normal = nullptr;
    QCTexture* over = nullptr;
    QCTexture* disabled = nullptr;
  };

  static void HideAll(const TextureSet& set);

  bool mChecked = false;
  TextureSet mChecks;
  TextureSet mBoxes;
};
