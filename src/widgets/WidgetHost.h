#pragma once
#include <string>

#include "widgets/DialogListener.h"

namespace Velk {

class Font;
class Graphics;

// The application services the widget tree calls. The application object implements them and
// registers itself in gWidgetHost; without one every service does nothing.
class WidgetHost : public DialogListener {
 public:
  ~WidgetHost() override;

  // 0 arrow, 1 hand, 2 dragging.
  virtual void SetCursorKind(int kind);
  virtual bool Is3DModeOn();
  // Drawn above the widgets, in each frame that drew any.
  virtual void DrawOverlay(Graphics* g);
  // One pass of the main loop; false once the loop should end.
  virtual bool RunLoopStep();
  // Takes the dialog with this id out of the manager and deletes it (possibly later).
  virtual bool RemoveDialog(int dialogId);
  // A system font made on the application, owned by the caller.
  virtual Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                              bool underline);
};

extern WidgetHost* gWidgetHost;

}  // namespace Velk
