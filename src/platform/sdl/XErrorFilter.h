#pragma once
// Xlib has one error handler for the whole process. This one is put in by the first claim and
// stays: it drops the errors a connection of ours expects (a window that went before a request on
// it came) and hands every other error to the handler that was there before it, so that a helper's
// errors neither end the program nor hide those of SDL's connection, and nobody's handler is put
// back over one set meanwhile.

struct _XDisplay;

namespace Velk {

class XErrorFilter {
 public:
  // The errors of `display`'s requests from its next one on are dropped until Release; with `heard`,
  // it is called for each first (from inside Xlib, with the connection held: no X call). A second
  // claim of a display takes the first one's place. Made on the thread that uses the display.
  static void Claim(_XDisplay* display, void (*heard)() = nullptr);
  // Its errors go on to the handler before the filter again; after a sync, before it closes.
  static void Release(_XDisplay* display);
};

}  // namespace Velk
