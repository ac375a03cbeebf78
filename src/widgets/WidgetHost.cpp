#include "widgets/WidgetHost.h"

#include "fonts/FontHost.h"
#include "fonts/SysFont.h"

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

Font* WidgetHost::CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                                bool underline) {
  return new SysFont(FontHost::GetDefault(), face, pointSize, charSet, bold, italic, underline);
}

}  // namespace Velk
