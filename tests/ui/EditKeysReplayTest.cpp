// Scripts the name-field fuzzer kept, replayed under the ordinary and sanitizer builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "EditKeysScript.h"
#include "UiHarness.h"

namespace {

using EditKeysReplay = UiHarness;

TEST_F(EditKeysReplay, EveryKeptScriptKeepsTheFieldConsistent) {
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/ui/editkeys")) {
    SCOPED_TRACE(item.path().filename().string());
    std::ifstream in(item.path(), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(edit_keys::RunScript(*this, bytes.data(), bytes.size()), "");
    ++replayed;
  }
  EXPECT_GE(replayed, 1);
}

}  // namespace
