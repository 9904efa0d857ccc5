#include "base/window_placement.h"

#include <charconv>
#include <cstdio>

namespace lumarine {

std::string FormatWindowPlacement(const WindowPlacement& p) {
  char text[96];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d", p.left, p.top, p.right, p.bottom,
                p.showCommand, p.flags);
  return text;
}

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text) {
  int values[6];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 6; ++i) {
    if (i > 0) {
      if (at == end || *at != ',') return std::nullopt;
      ++at;
    }
    const auto [next, error] = std::from_chars(at, end, values[i]);
    if (error != std::errc()) return std::nullopt;
    at = next;
  }
  if (at != end) return std::nullopt;
  return WindowPlacement{values[0], values[1], values[2], values[3], values[4], values[5]};
}

}  // namespace lumarine
