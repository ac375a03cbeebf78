// Descriptors the fuzzer found interesting, replayed under the ordinary (and sanitizer) builds.
#include <gtest/gtest.h>

#include <filesystem>

#include "fonts/FontData.h"
#include "fonts/ImageFont.h"
#include "graphics/Graphics.h"

namespace Velk {
namespace {

TEST(DescFuzzReplayTest, EveryKeptDescriptorParsesOrReportsWhyNot) {
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/fonts/descfuzz")) {
    const std::string path = item.path().string();
    SCOPED_TRACE(path);
    FontData data;
    ASSERT_TRUE(data.Load(nullptr, path));
    if (!data.mInitialized) {
      EXPECT_EQ(data.mError.rfind(L"Font Descriptor Error in ", 0), 0u);
    }
    EXPECT_EQ(data.mCurrentLineNum, 0);

    ImageFont font(nullptr, path);
    EXPECT_EQ(font.mFontData->mInitialized, data.mInitialized);
    font.SetScale(1.5);
    Graphics g;
    int width = 0;
    font.DrawStringEx(&g, 0, 0, L"AVa", Color::White, Rect(), nullptr, &width);
    if (!data.mInitialized) {
      EXPECT_EQ(width, 0);
    }
    ++replayed;
  }
  EXPECT_GE(replayed, 3);
}

}  // namespace
}  // namespace Velk
