#include "app/line_walk.h"

#include <cstdlib>

namespace lumarine {

std::vector<GridPoint> LinePoints(GridPoint from, GridPoint to) {
  std::vector<GridPoint> points;
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int stepX = from.x < to.x ? 1 : -1;
  const int stepY = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  GridPoint p = from;
  for (;;) {
    points.push_back(p);
    if (p == to) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      p.y += stepY;
    }
  }
  return points;
}

std::vector<GridPoint> PolylinePixels(const std::vector<GridPoint>& points) {
  std::vector<GridPoint> pixels;
  for (size_t i = 1; i < points.size(); ++i) {
    std::vector<GridPoint> segment = LinePoints(points[i - 1], points[i]);
    segment.pop_back();
    pixels.insert(pixels.end(), segment.begin(), segment.end());
  }
  return pixels;
}

}  // namespace lumarine
