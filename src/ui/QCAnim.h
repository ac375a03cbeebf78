#pragma once
#include <memory>
#include <vector>

#include "engine/QCCandyWidget.h"

class QCEngine;
class QCTexture;

// A sequence of pictures, one per "texture" child, stepped at its own frame rate; it loops or stops on
// the last frame, and starts over each time it is shown.
class QCAnim : public QCCandyWidget {
 public:
  explicit QCAnim(QCCandyWidget* parent);
  ~QCAnim() override;

  virtual void Build(IXMLDOMNode* node, QCEngine* app);

  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void Activate() override;
  void Deactivate() override;

  // The frame shown, -1 for none.
  int GetCurrentFrame() const { return mCurrent; }
  bool IsStopped() const { return mStopped; }
  float GetElapsed() const { return mElapsed; }

 private:
  float mElapsed = 0.0f;  // since the last step
  int mFps = 0;
  bool mOneshot = false;
  bool mStopped = true;
  std::vector<std::unique_ptr<QCTexture>> mFrames;
  int mCurrent = -1;
};
