#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumarine {

// A window's normal position and show state as a profile string stores it:
// "left,top,right,bottom,show command,flags".
struct WindowPlacement {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int showCommand = 1;  // 1 normal, 2 minimised, 3 maximised
  int flags = 0;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

std::string FormatWindowPlacement(const WindowPlacement& placement);

// Anything but exactly six decimal integers separated by commas is refused.
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text);

}  // namespace lumarine
