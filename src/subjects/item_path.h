#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumarine {

// An item path names a tree item by the titles from the top level down, each preceded by
// "/" (/Sport/Tennis); the root has the empty path. A "/" or "\" inside a title is written
// as "\/" or "\\", so every title the user can type stays addressable; titles without them
// appear unchanged.

std::string EscapePathStep(std::string_view title);

// The titles a path names, unescaped. The text before the first "/" is not a step.
std::vector<std::string> SplitItemPath(std::string_view path);

// The path without its last step ("" for a top-level item).
std::string ParentItemPath(std::string_view path);

}  // namespace lumarine
