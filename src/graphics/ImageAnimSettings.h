#pragma once
#include <vector>

namespace Velk {

// How an image's cels animate: which cel each step shows and how long each step lasts.
class ImageAnimSettings {
 public:
  enum AnimType { None = 0, Once = 1, PingPong = 2, Loop = 3 };

  int mAnimType = None;
  int mFrameDelay = 1;
  int mNumCels = 1;
  std::vector<int> mPerFrameDelay;
  std::vector<int> mFrameMap;
  int mTotalAnimTime = 0;

  // Grows the per-frame list with zeros when it has no entry for the frame yet.
  void SetFrameDelay(int frame, int delay);
  // Finishes the settings once type, frame delay, per-frame delays and frame map are filled in.
  void SetUp(int cels, int beginDelay, int endDelay);
};

}  // namespace Velk
