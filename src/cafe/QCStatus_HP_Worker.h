#pragma once
// A worker's tidiness bar: thirteen segments, green, yellow or red by the worker settings' levels
// (ice blue while the freeze runs), and a blink at and below the red level.

#include "cafe/StatusSource.h"
#include "scene/QCItem.h"

class QCStatus_HP_Worker : public QCItem {
 public:
  void Reset(bool start) override;
  void ApplySkinXml(IXMLDOMNode* node) override;
  void Update() override;

  // The segment for a tidiness: the smallest whole number not below t / 8.333333, at most 12.
  static int SegmentAt(float tidiness);

  StatusSource mSource;
  QCItemPart* mBar = nullptr;
  QCItemPart* mBack = nullptr;
  float mLast = 100.0f;
  int mSegment = -1;
};
