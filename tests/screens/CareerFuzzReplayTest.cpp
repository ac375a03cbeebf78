// The career book's fuzz inputs, replayed: damaged profiles, extreme money and settings.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CareerFuzzScript.h"
#include "ScreenFixture.h"

namespace {

using CareerFuzzReplay = ScreenTest;

TEST_F(CareerFuzzReplay, EveryKeptProfileRunsCleanly) {
  CafeTestBoard* board = career_fuzz::Setup(*this, UiText::Screens(UiText::InGameScreens()));
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/screens/careerfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::ifstream in(item.path(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    career_fuzz::Run(*this, *board, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  EXPECT_GE(replayed, 3);
}

}  // namespace
