#pragma once
#include <string>
#include <vector>

#include "engine/QCCandyWidget.h"
#include "engine/QCTexture.h"
#include "ui/QCLabelImage.h"
#include "ui/QCTextAttr.h"

class QCEngine;
class QCScrollBar;

// A vertical list of one-line entries of equal height with one selected line, an optional check mark
// and an optional scroll bar of its own along the right edge. The visible lines are rendered into a
// cached image; the owner reads the selection when it needs it.
class QCList : public QCCandyWidget {
 public:
  explicit QCList(QCCandyWidget* parent);
  ~QCList() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  virtual void SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color dcolor);
  // Gives the image to the two spare state textures, which the list never draws.
  virtual void SetTextureImages(const QCTextureRef& image);
  // Scrolls back to the first line.
  virtual void AddLine(const std::wstring& text);
  // The scroll range, top, selected and checked lines stay as they were.
  virtual void Clear();
  virtual void SetChecked(int index) { mChecked = index; }
  virtual int GetSelected() const { return mSelected; }
  virtual void SetSelected(int index) { mSelected = index; }

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  // Resize: the visible rows and the scroll range follow; the cached image is dropped.
  void SetBounds(int x, int y, int width, int height) override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void Activate() override;
  void Deactivate() override;
  using QCCandyWidget::SetBounds;
  using Velk::Widget::MouseDown;

  // The lines are drawn again at the next draw.
  void MarkStale() { mLabel.Invalidate(); }

  QCScrollBar* GetScrollBar() const { return mScroll; }
  int GetTopLine() const { return mTopLine; }
  int GetLineSpacing() const { return mLineSpacing; }
  int GetChecked() const { return mChecked; }
  const std::vector<std::wstring>& GetLines() const { return mLines; }

 private:
  void BuildScrollBar(IXMLDOMNode* element, QCEngine* app);
  void ReadCheckTexture(IXMLDOMNode* node);
  void UpdateScrollRange();
  void RenderLines();

  QCScrollBar* mScroll = nullptr;
  Velk::Color mSelColor{0u};  // no fill without "sel_color"
  int mLineSpacing = -1;
  int mTopLine = 0;
  int mVisibleRows = 0;
  int mSelected = 0;
  QCTextLayers mLayers;
  QCTexture mSpare[2];
  QCTexture mCheck;
  int mCheckWidth = 0;
  int mCheckHeight = 0;
  int mChecked = -1;
  QCLabelImage mLabel;
  std::vector<std::wstring> mLines;
  int mTextAreaWidth = -1;  // -1 until placed: the list's width less the left margin
  int mLeft = 0;
};
