#pragma once
// What the status bubbles and bars read of a character: whether it is in play, busy, its value
// (patience or tidiness), and the text and style of its bubble.

#include <string>

class QIStatSrc {
 public:
  virtual ~QIStatSrc() = default;
  virtual bool IsStatActive() const = 0;
  virtual bool IsStatBusy() const = 0;
  // False when the character gives no value now.
  virtual bool GetValue(float* out) const = 0;
  virtual bool GetBubbleText(std::string* out) const = 0;
  virtual bool GetBubbleStyle(std::string* out) const = 0;
  // The work progress of a worker: -1 unless working.
  virtual float WorkProgress() const { return -1.0f; }
};
