#pragma once
// Presents into memory: every frame is counted and kept for tests (DDrawScreen).

#include "platform/ddraw/DDrawPresenter.h"

namespace Velk {

class HeadlessPresenter final : public DDrawPresenter {
 public:
  void Present(const DDrawSurface& primary, bool onMainThread) override;
  void SetMode(int width, int height) override;
  bool KeepsDesktopMode() const override;
};

}  // namespace Velk
