#pragma once
// When the connection to the X server breaks, Xlib's own handler calls exit(), which runs static
// destructors and exit handlers that talk to the dead connection, and the process spins for ever.
// This puts a handler of ours into the Xlib that SDL loaded, calling `lost` instead; `lost` must
// end the process without another X call.

namespace Velk {

class XConnectionWatch {
 public:
  // False when no Xlib is loaded (another video driver is in use).
  static bool Install(void (*lost)());
};

}  // namespace Velk
