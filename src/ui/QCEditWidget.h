#pragma once
#include <string>

#include "engine/QCCandyWidget.h"
#include "engine/QCTexture.h"
#include "ui/QCEditBuffer.h"
#include "ui/QCLabelImage.h"
#include "ui/QCTextAttr.h"

class QCEngine;

// The one-line name field: at most 15 characters with a blinking caret, mouse and keyboard selection,
// word moves, the clipboard and one undo step. Enter and Escape go up to the screen that owns it; the
// owner reads the text when it needs it. On a Tablet PC an invisible system caret follows the field.
class QCEditWidget : public QCCandyWidget, private QCEditBuffer::Host {
 public:
  explicit QCEditWidget(QCCandyWidget* parent);
  ~QCEditWidget() override;

  virtual void ProcessKey(int keyCode, wchar_t ch);
  virtual void SelectWord();
  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  virtual void SetTextureImage(int index, const QCTextureRef& image, const int rect[4]);
  virtual void SetTextureImages(const QCTextureRef& image);
  virtual void SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color hcolor);
  // Selects the whole new text; the undo step is kept.
  virtual void SetText(const std::wstring& text, bool resetScroll);
  virtual bool IsWordChar(wchar_t ch) { return QCEditBuffer::IsWordChar(ch); }
  virtual int CharIndexAt(int x, int y);
  virtual void ScrollToCaret(bool page);

  const std::wstring& GetText() const { return mEdit.mText; }
  int GetTextLength() const { return static_cast<int>(mEdit.mText.size()); }
  const QCEditBuffer& GetEditState() const { return mEdit; }

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void SetBounds(int x, int y, int width, int height) override;
  bool WantsFocus() override { return true; }
  void OnFocusGained() override;
  void OnFocusLost() override;
  void KeyChar(wchar_t ch) override;
  void KeyDown(int key) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y, int button, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void Activate() override;
  void Deactivate() override;
  using QCCandyWidget::SetBounds;
  using Velk::Widget::MouseDown;
  using Velk::Widget::MouseUp;

 private:
  std::string GetClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  bool AllowsExtendedChars() override;

  void Changed();
  void PassToScreen(int key);
  void PlaceSystemCaret();
  void RenderText();
  void RenderPass(Velk::Graphics& image, int pass);

  QCEditBuffer mEdit;
  QCTextLayers mLayers;
  Velk::Color mHilite;
  QCTexture mBack[2];  // normal, disabled
  QCLabelImage mLabel;
};
