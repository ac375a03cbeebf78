#pragma once
#include "engine/QCCandyWidget.h"
#include "engine/QCTexture.h"

class QCEngine;

// A value between 0 and a maximum shown as a row of equal segments, each a "fill" or an "empty"
// picture "seg_width" pixels wide.
class QCBar : public QCCandyWidget {
 public:
  explicit QCBar(QCCandyWidget* parent);
  ~QCBar() override;

  // Stored as given: no clamping, no redraw request.
  virtual void SetMax(int max) { mMax = max; }
  virtual void SetValue(int value) { mValue = value; }
  virtual void Build(IXMLDOMNode* node, QCEngine* app);
  // Both segment kinds from one picture, each keeping its source rectangle.
  virtual void SetImage(const QCTextureRef& image);

  void Draw(Velk::Graphics* g) override;
  void Activate() override;
  void Deactivate() override;

  int GetMax() const { return mMax; }
  int GetValue() const { return mValue; }
  int GetSegWidth() const { return mSegWidth; }

 private:
  void ReadSegment(IXMLDOMNode* node, const wchar_t* query, QCTexture& texture);
  bool IsFilled(int segment, int count) const;

  int mMax = 0;
  int mValue = 0;
  int mSegWidth = 0;
  QCTexture mFill;
  QCTexture mEmpty;
};
