#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumarine {

// A monitor's rectangle in root window coordinates, in device pixels.
struct MonitorRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The twelve values of _NET_WM_STRUT_PARTIAL: left, right, top, bottom widths measured from
// the root window's edges, then the start and end of each (left_start_y, left_end_y,
// right_start_y, right_end_y, top_start_x, ..., bottom_end_x).
using StrutValues = std::array<std::uint32_t, 12>;

// Rows of the root window, in device pixels; bottom is exclusive.
struct RowSpan {
  int top = 0;
  int bottom = 0;
};

// The strip to reserve for a bar docked at the left or right edge of monitors[barMonitor]:
// `reservedWidth` pixels from that edge inward, over the bar's own rows (cut to that
// monitor's), so panels above and below the bar keep their corners. A strut is counted from
// the root window's edge, so it can only be set where no other monitor lies beyond the edge
// in the monitor's rows; at such an inner edge there is nothing to reserve (nullopt).
std::optional<StrutValues> DockStrut(const std::vector<MonitorRect>& monitors,
                                     std::size_t barMonitor, int rootWidth, bool left,
                                     int reservedWidth, RowSpan barRows);

}  // namespace lumarine
