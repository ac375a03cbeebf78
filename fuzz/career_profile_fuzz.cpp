// The career book on a profile as a damaged pref.dat might hold it, with the board's achievement
// figures from the input: its layout, a cafe turn, a level end and the count-up.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzDataHome.h"
#include "screens/CareerFuzzScript.h"

namespace {

struct World {
  World() : ui([] { return std::unique_ptr<QCEngine>(new ScreenGame()); }) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/screens/career_ui.xml", std::ios::binary);
    board = career_fuzz::Setup(ui, std::string(std::istreambuf_iterator<char>(in), {}));
  }
  UiTestWorld ui;
  CafeTestBoard* board;
};

World* MakeWorld() {
  // pref.dat of the fuzzing run goes to a folder of its own.
  static const FuzzDataHome home;
  return new World();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* world = MakeWorld();
  career_fuzz::Run(world->ui, *world->board, data, size);
  return 0;
}
