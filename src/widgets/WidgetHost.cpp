#include "widgets/WidgetHost.h"

namespace Velk {

WidgetHost* gWidgetHost = nullptr;

WidgetHost::~WidgetHost() {
  if (gWidgetHost == this) gWidgetHost = nullptr;
}

void WidgetHost::SetCursorKind(int) {}

bool WidgetHost::Is3DModeOn() { return false; }

void WidgetHost::DrawOverlay(Graphics*) {}

bool WidgetHost::RunLoopStep() { return false; }

bool WidgetHost::RemoveDialog(int) { return false; }

Font* WidgetHost::CreateSysFont(const std::string&, int, int, bool, bool, bool) { return nullptr; }

bool WidgetHost::LockScreenImage(Image*) { return false; }

void WidgetHost::UnlockScreenImage(Image*) {}

}  // namespace Velk
