#include "item_path.h"

namespace lumarine {

std::string EscapePathStep(std::string_view title) {
  std::string step;
  step.reserve(title.size());
  for (char c : title) {
    if (c == '/' || c == '\\') step += '\\';
    step += c;
  }
  return step;
}

std::vector<std::string> SplitItemPath(std::string_view path) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' && i + 1 < path.size()) {
      parts.back() += path[++i];
    } else if (c == '/') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  parts.erase(parts.begin());
  return parts;
}

std::string ParentItemPath(std::string_view path) {
  size_t lastSlash = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\')
      ++i;
    else if (path[i] == '/')
      lastSlash = i;
  }
  if (lastSlash == std::string_view::npos) return {};
  return std::string(path.substr(0, lastSlash));
}

}  // namespace lumarine
