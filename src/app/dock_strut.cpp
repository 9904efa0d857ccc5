#include "app/dock_strut.h"

#include <algorithm>

namespace lumarine {

std::optional<StrutValues> DockStrut(const std::vector<MonitorRect>& monitors,
                                     std::size_t barMonitor, int rootWidth, bool left,
                                     int reservedWidth, RowSpan barRows) {
  if (barMonitor >= monitors.size() || reservedWidth <= 0) return std::nullopt;
  const MonitorRect& bar = monitors[barMonitor];
  if (bar.width <= 0 || bar.height <= 0) return std::nullopt;
  const int top = bar.y;
  const int bottom = bar.y + bar.height;  // exclusive
  const int edge = left ? bar.x : bar.x + bar.width;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const MonitorRect& other = monitors[i];
    if (i == barMonitor || other.width <= 0 || other.height <= 0) continue;
    const bool sharesRows = other.y < bottom && other.y + other.height > top;
    const bool beyond = left ? other.x < edge : other.x + other.width > edge;
    if (sharesRows && beyond) return std::nullopt;
  }
  const int width = left ? edge + reservedWidth : rootWidth - edge + reservedWidth;
  if (width <= 0 || edge < 0 || edge > rootWidth) return std::nullopt;
  const int firstRow = std::max(top, barRows.top);
  const int endRow = std::min(bottom, barRows.bottom);
  if (firstRow >= endRow) return std::nullopt;
  StrutValues strut{};
  const int side = left ? 0 : 1;
  strut[static_cast<std::size_t>(side)] = static_cast<std::uint32_t>(width);
  strut[static_cast<std::size_t>(4 + 2 * side)] = static_cast<std::uint32_t>(std::max(0, firstRow));
  strut[static_cast<std::size_t>(5 + 2 * side)] =
      static_cast<std::uint32_t>(std::max(0, endRow - 1));
  return strut;
}

}  // namespace lumarine
