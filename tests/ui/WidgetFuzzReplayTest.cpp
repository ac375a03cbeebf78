// Elements the widget fuzzer kept (and its seeds), replayed under the ordinary and sanitizer builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "UiHarness.h"
#include "WidgetFuzzScript.h"

namespace {

using WidgetFuzzReplay = UiHarness;

TEST_F(WidgetFuzzReplay, EveryKeptElementBuildsAndRunsCleanly) {
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/ui/widgetfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::ifstream in(item.path(), std::ios::binary);
    widget_fuzz::Run(*this, std::string(std::istreambuf_iterator<char>(in), {}));
    ++replayed;
  }
  EXPECT_GE(replayed, 9);
}

}  // namespace
