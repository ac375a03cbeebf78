#pragma once
// The bubble over a customer or worker: what it wants or makes, in the style its character asks
// for. It lights up when the boss carries the product, shakes through a customer's scandal, and a
// worker's bubble fades its product in as the work progresses.

#include <string>

#include "cafe/StatusSource.h"
#include "scene/QCItem.h"

class QCStatus_Bubble : public QCItem {
 public:
  void Reset(bool start) override;
  void ApplySkinXml(IXMLDOMNode* node) override;
  void Update() override;

  void SetPicture(const std::string& text);

  StatusSource mSource;
  QCItemPart* mFrame = nullptr;
  QCItemPart* mProduct = nullptr;
  bool mShown = false;
  std::string mText;
  bool mHighlighted = false;
  bool mShaking = false;

 private:
  void UpdateShown(const std::string& text, bool active);
  void Highlight(bool on, bool refresh, const std::string& text);
};
