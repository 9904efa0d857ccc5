#include "app/line_walk.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

struct LineCase {
  GridPoint from;
  GridPoint to;
  size_t count;
};

TEST(LinePointsTest, StepsOnePixelAlongTheLongerAxisAndIncludesBothEnds) {
  const LineCase cases[] = {{{0, 0}, {0, 0}, 1},       {{0, 0}, {5, 0}, 6},
                            {{5, 0}, {0, 0}, 6},       {{0, 0}, {0, -4}, 5},
                            {{0, 0}, {3, 3}, 4},       {{900, 10}, {1080, 0}, 181},
                            {{-200, 300}, {0, 0}, 301}};
  for (const LineCase& c : cases) {
    const std::vector<GridPoint> points = LinePoints(c.from, c.to);
    ASSERT_EQ(points.size(), c.count) << c.from.x << "," << c.from.y;
    EXPECT_EQ(points.front(), c.from);
    EXPECT_EQ(points.back(), c.to);
    for (size_t i = 1; i < points.size(); ++i) {
      EXPECT_LE(std::abs(points[i].x - points[i - 1].x), 1);
      EXPECT_LE(std::abs(points[i].y - points[i - 1].y), 1);
    }
  }
}

TEST(PolylinePixelsTest, LeavesOutEachSegmentsEndPoint) {
  const std::vector<GridPoint> pixels = PolylinePixels({{0, 0}, {3, 0}, {3, 2}});
  const std::vector<GridPoint> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}};
  EXPECT_EQ(pixels, expected);
  EXPECT_TRUE(PolylinePixels({{4, 4}}).empty());
}

}  // namespace
}  // namespace lumarine
