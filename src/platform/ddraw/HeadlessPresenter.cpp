#include "platform/ddraw/HeadlessPresenter.h"

namespace Velk {

void HeadlessPresenter::Present(const DDrawSurface& primary, bool) { DDrawScreen::Record(primary); }

void HeadlessPresenter::SetMode(int, int) {}

}  // namespace Velk
