// The screens' fuzz inputs (the full description, a sparse one and what the fuzzer kept), replayed.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ScreenFixture.h"
#include "ScreenFuzzScript.h"

namespace {

using ScreenFuzzReplay = ScreenTest;

TEST_F(ScreenFuzzReplay, EveryKeptDescriptionRunsCleanly) {
  screen_fuzz::Run(*this, UiText::Screens(UiText::InGameScreens()));
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/screens/screenfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::ifstream in(item.path(), std::ios::binary);
    screen_fuzz::Run(*this, std::string(std::istreambuf_iterator<char>(in), {}));
    ++replayed;
  }
  EXPECT_GE(replayed, 10);
}

}  // namespace
