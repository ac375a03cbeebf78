// UI-description elements built by the dialog builder into the nine widget kinds, then updated,
// drawn and used through the widget manager.
#include <cstdint>
#include <string>

#include "ui/WidgetFuzzScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static UiTestWorld* world = new UiTestWorld();
  widget_fuzz::Run(*world, std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
