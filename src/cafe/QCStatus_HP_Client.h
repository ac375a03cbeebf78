#pragma once
// A customer's patience bar: seven segments, green, yellow or red by the customer settings'
// levels (ice blue while the freeze runs), a face for the mood, and a blink below the red level.

#include <string>

#include "cafe/StatusSource.h"
#include "scene/QCItem.h"

class QCStatus_HP_Client : public QCItem {
 public:
  void Reset(bool start) override;
  void ApplySkinXml(IXMLDOMNode* node) override;
  void Update() override;

  struct Look {
    unsigned color;
    const char* face;
    int segment;
  };
  // The bar's look at a patience, by the customer globals.
  static Look LookAt(float patience);

  StatusSource mSource;
  QCItemPart* mBar = nullptr;
  QCItemPart* mBack = nullptr;
  QCItemPart* mFace = nullptr;
  float mLast = 100.0f;
  bool mShown = false;
  int mSegment = -1;
  std::string mFaceAnim;
};
