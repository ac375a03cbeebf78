#pragma once
// When the connection to the X server breaks, Xlib's own handler calls exit(), which runs static
// destructors and exit handlers that talk to the dead connection, and the process spins for ever.
// This puts a handler of ours into the Xlib that SDL loaded, calling `lost` instead; `lost` must
// end the process without another X call. Xlib calls it inside the failed request, on whatever
// thread made it and under whatever that thread holds. A process forked from this one (the
// toolkit's message box) has a connection of its own and the same handler: it ends there at once.

namespace Velk {

class XConnectionWatch {
 public:
  // False when no Xlib is loaded (another video driver is in use).
  static bool Install(void (*lost)());
};

}  // namespace Velk
