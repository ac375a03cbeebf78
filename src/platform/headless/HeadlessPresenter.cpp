#include "platform/headless/HeadlessPresenter.h"

#include "platform/ddraw/DDrawSettings.h"

namespace Velk {

void HeadlessPresenter::Present(const DDrawSurface& primary, bool) { DDrawScreen::Record(primary); }

void HeadlessPresenter::SetMode(int, int) {}

bool HeadlessPresenter::KeepsDesktopMode() const { return DDrawSettings::Get().keepDesktopMode; }

}  // namespace Velk
