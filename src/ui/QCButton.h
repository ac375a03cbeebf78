#pragma once
#include <string>

#include "engine/QCCandyWidget.h"
#include "ui/QCLabelImage.h"
#include "ui/QCTextAttr.h"

class QCEngine;
class QCTextureRef;

namespace Velk {
class ButtonListener;
}

// A push button: four state textures (keys 0 normal, 1 over, 2 down, 3 disabled), a localised label
// in the three text layers, hover and click sounds, the game cursor while hovered, and the mouse
// events reported to its listener under its id.
class QCButton : public QCCandyWidget {
 public:
  enum State { Normal = 0, Over = 1, Down = 2, Disabled = 3, StateCount = 4 };

  QCButton(QCCandyWidget* parent, int id, Velk::ButtonListener* listener);
  ~QCButton() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  // Stored only: the label shows the colours after its next re-rendering.
  virtual void SetTextAttr(int layer, Velk::Font* font, const Velk::Color& color, const Velk::Color& hcolor,
                           const Velk::Color& dcolor);
  virtual void SetAllTextureImages(const QCTextureRef& image);
  virtual void SetTextureImage(const QCTextureRef& image, int key);
  virtual void SetLabel(const std::wstring& label);
  virtual void SetId(int id);

  int GetId() const { return mId; }
  const std::wstring& GetLabel() const { return mLabel; }
  // Whether a click reported as `id` came from this control (false for null or a non-button).
  static bool IsId(int id, Velk::Widget* control);

  // The label is rendered again in the colours of the new state: an enabled button must not keep
  // the grey of its disabled label.
  void SetDisabled(bool disabled) override;
  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y, int button, int clickCount) override;
  void Deactivate() override;
  using Velk::Widget::MouseDown;
  using Velk::Widget::MouseUp;

 private:
  void ShowStateTextures();

  int mId;
  std::wstring mLabel;
  QCTextLayout mTextLayout;
  std::string mHoverSound;
  std::string mClickSound;
  QCTextLayers mLayers;
  Velk::ButtonListener* mListener;
  QCLabelImage mLabelImage;
  Velk::Rect mPressedAt;  // on the screen, at the last press
};
