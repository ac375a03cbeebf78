// A ui.xml document from which every screen of the front end is made, then shown, updated, clicked
// and hidden in the headless game the UI tests use.
#include <cstdint>
#include <string>

#include "FuzzDataHome.h"
#include "screens/ScreenFuzzScript.h"

namespace {

UiTestWorld* MakeWorld() {
  // pref.dat of the fuzzing run goes to a folder of its own.
  static const FuzzDataHome home;
  return new UiTestWorld([] { return std::unique_ptr<QCEngine>(new ScreenGame()); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static UiTestWorld* world = MakeWorld();
  screen_fuzz::Run(*world, std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
