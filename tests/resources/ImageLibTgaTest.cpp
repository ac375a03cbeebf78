#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

using namespace ImageLibTest;
using ImageLib::DecodeTGA;

TEST(ImageLibTga, ReadsTopLeftBgraPixels) {
  auto image =
      Decode(DecodeTGA,
             MakeTga(2, 2, 32, 0x28,
                     {0x01, 0x02, 0x03, 0x04, 0x10, 0x20, 0x30, 0xFF, 0xAA, 0xBB, 0xCC, 0x00, 0x00, 0x00, 0x00, 0x80}));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->GetWidth(), 2);
  EXPECT_EQ(image->GetHeight(), 2);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0x04030201, 0xFF302010, 0x00CCBBAA, 0x80000000}));
}

TEST(ImageLibTga, SkipsIdFieldAndColourMap) {
  Bytes file = MakeTga(1, 1, 32, 0x28, {'i', 'd', 9, 9, 9, 0x11, 0x22, 0x33, 0x44});
  file[0] = 2;   // ID length
  file[1] = 1;   // colour map present
  file[5] = 1;   // one entry
  file[7] = 24;  // of three bytes
  auto image = Decode(DecodeTGA, file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->GetBits()[0], 0x44332211u);
}

TEST(ImageLibTga, RefusesOtherLayouts) {
  Bytes pixel{1, 2, 3, 4};
  EXPECT_FALSE(Decode(DecodeTGA, MakeTga(1, 1, 24, 0x20, {1, 2, 3})));
  EXPECT_FALSE(Decode(DecodeTGA, MakeTga(1, 1, 32, 0x08, pixel)));      // bottom-left origin
  EXPECT_FALSE(Decode(DecodeTGA, MakeTga(1, 1, 32, 0x28, pixel, 10)));  // run-length encoded
  EXPECT_FALSE(Decode(DecodeTGA, MakeTga(0, 5, 32, 0x28, {})));
  EXPECT_FALSE(Decode(DecodeTGA, MakeTga(65535, 65535, 32, 0x28, pixel)));
  EXPECT_FALSE(Decode(DecodeTGA, Bytes(17, 0)));
}

TEST(ImageLibTga, ShortFileLeavesMissingPixelsTransparent) {
  auto image = Decode(DecodeTGA, MakeTga(2, 2, 32, 0x28, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0x04030201, 0x08070605, 0, 0}));
}
