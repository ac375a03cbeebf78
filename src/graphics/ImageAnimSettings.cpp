#include "graphics/ImageAnimSettings.h"

#include <cstddef>
#include <numeric>

namespace Velk {

void ImageAnimSettings::SetFrameDelay(int frame, int delay) {
  if (frame < 0) return;
  if (static_cast<size_t>(frame) >= mPerFrameDelay.size()) mPerFrameDelay.resize(frame + 1, 0);
  mPerFrameDelay[frame] = delay;
}

void ImageAnimSettings::SetUp(int cels, int beginDelay, int endDelay) {
  mNumCels = cels > 0 ? cels : 1;
  if (mFrameDelay < 1) mFrameDelay = 1;

  if (mAnimType == PingPong && mNumCels >= 2) {
    mFrameMap.clear();
    for (int i = 0; i < mNumCels; ++i) mFrameMap.push_back(i);
    for (int i = mNumCels - 2; i >= 1; --i) mFrameMap.push_back(i);
  }
  if (!mFrameMap.empty()) mNumCels = static_cast<int>(mFrameMap.size());

  if (beginDelay > 0) SetFrameDelay(0, beginDelay);
  if (endDelay > 0) SetFrameDelay(mNumCels - 1, endDelay);

  if (!mPerFrameDelay.empty()) {
    mPerFrameDelay.resize(mNumCels, 0);
    for (int& d : mPerFrameDelay)
      if (d < 1) d = mFrameDelay;
    mTotalAnimTime = std::accumulate(mPerFrameDelay.begin(), mPerFrameDelay.end(), 0);
  } else {
    mTotalAnimTime = mNumCels * mFrameDelay;
  }

  if (!mFrameMap.empty()) mFrameMap.resize(mNumCels);
}

}  // namespace Velk
