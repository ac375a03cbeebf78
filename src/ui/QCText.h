#pragma once
#include <string>

#include "engine/QCCandyWidget.h"
#include "ui/QCLabelImage.h"
#include "ui/QCTextAttr.h"
#include "ui/QCTextVars.h"

class QCEngine;
class QCTextureRef;

namespace Velk {
class Image;
class MemoryImage;
}  // namespace Velk

// A label: localised text with live %variable% values, drawn in up to three layers over the
// widget's own textures (key 0 normal, key 1 disabled).
class QCText : public QCCandyWidget {
 public:
  QCText(QCCandyWidget* parent, QCEngine* app);
  ~QCText() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  // The display text follows at the next update of the shown label.
  virtual void SetText(const std::wstring& text);
  // Layers of 3 or more are ignored.
  virtual void SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color dcolor);
  virtual void SetVisibleLength(int n);
  // Shows only this image while set (null removes it).
  virtual void SetOverrideImage(Velk::Image* image);
  virtual void SetTextureImages(const QCTextureRef& image);
  // which 0 = normal, 1 = disabled; rect is x, y, width, height of the source.
  virtual void SetTextureImage(int which, const QCTextureRef& image, const int rect[4]);

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void SetDisabled(bool disabled) override;
  void Deactivate() override;
  void ShowTypedPrefix(float t) override;

  const std::wstring& GetText() const { return mRawText; }
  const std::wstring& GetDisplayText() const { return mDisplayText; }
  int GetVisibleLength() const { return mVisibleLength; }
  // The rendered label, null until drawn.
  Velk::MemoryImage* GetLabelImage() const { return mLabel.Image(); }

 private:
  void UpdateDisplayText();
  void UpdateTextures();

  QCEngine* mApp;  // given by the builder; the label itself does not use it
  std::wstring mRawText;
  bool mBuilt = false;
  QCTextVarCache mVarCache;
  QCTextLayout mTextLayout;
  std::wstring mDisplayText;
  QCTextLayers mLayers;
  int mFps = 0;  // read and kept; nothing depends on them
  bool mOneshot = false;
  int mVisibleLength = 0;
  QCLabelImage mLabel;
  Velk::Image* mOverride = nullptr;
};
