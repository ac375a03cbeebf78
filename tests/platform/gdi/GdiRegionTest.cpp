#include "platform/gdi/GdiRegion.h"

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"

namespace {

HRGN Make(std::initializer_list<POINT> points, int mode = WINDING) {
  return CreatePolygonRgn(points.begin(), static_cast<int>(points.size()), mode);
}

TEST(GdiRegion, SquareInteriorAndTopLeftEdges) {
  HRGN square = Make({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  ASSERT_NE(square, nullptr);
  EXPECT_TRUE(PtInRegion(square, 10, 10)) << "top-left corner pixel is inside";
  EXPECT_TRUE(PtInRegion(square, 19, 19));
  EXPECT_FALSE(PtInRegion(square, 20, 15)) << "right edge is outside";
  EXPECT_FALSE(PtInRegion(square, 15, 20)) << "bottom edge is outside";
  EXPECT_FALSE(PtInRegion(square, 9, 15));
  EXPECT_TRUE(DeleteObject(square));
}

TEST(GdiRegion, PentagramCentreFollowsTheFillRule) {
  // A five-pointed star drawn in one stroke: the centre pentagon is wound twice.
  const std::initializer_list<POINT> star = {{100, 0}, {159, 181}, {5, 69}, {195, 69}, {41, 181}};
  HRGN winding = Make(star, WINDING);
  HRGN alternate = Make(star, ALTERNATE);
  EXPECT_TRUE(PtInRegion(winding, 100, 100));
  EXPECT_FALSE(PtInRegion(alternate, 100, 100));
  // A point of the star is inside under both rules; a point beyond the star under neither.
  EXPECT_TRUE(PtInRegion(winding, 100, 20));
  EXPECT_TRUE(PtInRegion(alternate, 100, 20));
  EXPECT_FALSE(PtInRegion(winding, 100, 170));
  DeleteObject(winding);
  DeleteObject(alternate);
}

TEST(GdiRegion, DegenerateAndBadInput) {
  POINT one{5, 5};
  EXPECT_EQ(CreatePolygonRgn(&one, 1, WINDING), nullptr);
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, WINDING), nullptr);
  HRGN line = Make({{0, 0}, {50, 50}});
  ASSERT_NE(line, nullptr);
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(PtInRegion(line, i, i));
  DeleteObject(line);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
}

}  // namespace
