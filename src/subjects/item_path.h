#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumarine {

// An item path names a tree item by the titles from the top level down, each preceded by
// "/" (/Sport/Tennis); the root has the empty path. A "/" or "\" inside a title is written
// as "\/" or "\\", so every title the user can type stays addressable; titles without them
// appear unchanged.
//
// Where siblings share a title (a hand-edited file can hold a group and a subject both
// named Sport), the step also says which of them it means: "\#" and the item's number among
// the same-titled siblings, counted in the order the tree shows them (groups first, then
// subjects, each in file order), as in /Sport\#2/Tennis. A step without the number names
// the only item of that title.

struct ItemPathStep {
  std::string title;
  int occurrence = 0;  // 1-based among same-titled siblings; 0: the only one
};

std::string EscapePathStep(std::string_view title, int occurrence = 0);

// The steps a path names, unescaped. The text before the first "/" is not a step.
std::vector<ItemPathStep> SplitItemPathSteps(std::string_view path);
// The same, titles only.
std::vector<std::string> SplitItemPath(std::string_view path);

// The path without its last step ("" for a top-level item).
std::string ParentItemPath(std::string_view path);

}  // namespace lumarine
