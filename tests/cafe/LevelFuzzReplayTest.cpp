// Level files the level fuzzer kept, replayed under the ordinary and sanitizer builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LevelFuzzScript.h"

TEST(LevelFuzzReplay, KeptLevelFilesReadAndRunInBothModes) {
  level_fuzz::World world;
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/cafe/levelfuzz")) {
    std::ifstream in(item.path(), std::ios::binary);
    level_fuzz::Run(world, std::string(std::istreambuf_iterator<char>(in), {}));
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}
