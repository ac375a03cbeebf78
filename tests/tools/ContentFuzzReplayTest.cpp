// Inputs the content fuzzer kept, replayed under the ordinary (and sanitizer) builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../fuzz/ContentFuzzInput.h"

namespace {

TEST(ContentFuzzReplayTest, EveryKeptInputIsReadOrRefusedWithAReason) {
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/tools/contentfuzz")) {
    SCOPED_TRACE(item.path().string());
    std::ifstream in(item.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RunContentInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++replayed;
  }
  EXPECT_GE(replayed, 7);
}

}  // namespace
