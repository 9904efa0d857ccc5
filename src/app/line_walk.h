#pragma once

#include <vector>

namespace lumarine {

struct GridPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const GridPoint&, const GridPoint&) = default;
};

// Every grid point of the straight line from `from` to `to`, both ends included, one step
// along the longer axis at a time (Bresenham).
std::vector<GridPoint> LinePoints(GridPoint from, GridPoint to);

// The pixels a one-pixel pen sets for a poly-line: each segment leaves out its end point,
// so the last point of the whole line is never drawn.
std::vector<GridPoint> PolylinePixels(const std::vector<GridPoint>& points);

}  // namespace lumarine
