// The entry over a memory image texture and the process-wide filler table.

#include <gtest/gtest.h>

#include "Canvas.h"
#include "graphics/MemoryImage.h"
#include "raster/SoftwarePolygon.h"
#include "raster/SpanFillerTable.h"

using namespace Velk;
using RasterTest::Canvas;

namespace {

// A quad over the whole 4 x 4 destination, the texture stretched across it.
constexpr PolygonVertex kQuad[4] = {{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}, {4, 4, 1, 1, 0}};

// 2 x 2 texture: opaque red, transparent green, opaque blue, opaque white.
void MakeTexture(MemoryImage& image) {
  image.CreateBlank(2, 2);
  uint32_t* bits = image.GetArgbBits();
  bits[0] = 0xFFFF0000;
  bits[1] = 0x0000FF00;
  bits[2] = 0xFF0000FF;
  bits[3] = 0xFFFFFFFF;
  image.OnBitsChanged();
}

void Draw(MemoryImage* texture, Canvas& canvas, const Color& color, int drawMode = 0) {
  DrawSoftwarePolygon(kQuad, 4, texture, color, drawMode, Rect(0, 0, 5, 5), canvas.Bits(), canvas.pitch, 0x888, false,
                      false);
}

}  // namespace

TEST(DrawSoftwarePolygon, NothingBeforeTheTableIsFilled) {
  // A fresh process, so the table has not been filled by another test.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        MemoryImage image(nullptr);
        MakeTexture(image);
        Canvas canvas(4, 4, 4);
        Draw(&image, canvas, Color::White);
        const bool blank = canvas.bytes == Canvas(4, 4, 4).bytes;
        InitSpanFillerTable();
        Draw(&image, canvas, Color::White);
        std::exit(blank && canvas.At(0, 0) == 0xFFFF0000u ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(DrawSoftwarePolygon, ReadsTheImageAndItsAlphaFlags) {
  InitSpanFillerTable();
  MemoryImage image(nullptr);
  MakeTexture(image);
  Canvas canvas(4, 4, 4, 0xFF808080);
  Draw(&image, canvas, Color::White, 1);
  // Each texel covers 2 x 2 pixels; the transparent texel is skipped.
  EXPECT_EQ(canvas.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(3, 0), 0xFF808080u);
  EXPECT_EQ(canvas.At(0, 3), 0xFF0000FFu);
  EXPECT_EQ(canvas.At(3, 3), 0xFFFFFFFFu);

  // Once the image has no transparency, its texel alpha is ignored and green is written.
  image.GetArgbBits()[1] = 0xFF00FF00;
  image.OnBitsChanged();
  Draw(&image, canvas, Color(255, 255, 255, 255));
  EXPECT_EQ(canvas.At(3, 0), 0xFF00FF00u);
}
