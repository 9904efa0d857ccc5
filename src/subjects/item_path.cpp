#include "item_path.h"

namespace lumarine {
namespace {

constexpr int kMaxOccurrence = 1000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string EscapePathStep(std::string_view title, int occurrence) {
  std::string step;
  step.reserve(title.size());
  for (char c : title) {
    if (c == '/' || c == '\\') step += '\\';
    step += c;
  }
  if (occurrence > 0) step += "\\#" + std::to_string(occurrence);
  return step;
}

std::vector<ItemPathStep> SplitItemPathSteps(std::string_view path) {
  std::vector<ItemPathStep> steps(1);
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' && i + 1 < path.size()) {
      // "\#" and digits closing a step number it; EscapePathStep never writes "\#" otherwise.
      if (path[i + 1] == '#') {
        size_t end = i + 2;
        int number = 0;
        while (end < path.size() && IsDigit(path[end])) {
          if (number < kMaxOccurrence) number = number * 10 + (path[end] - '0');
          ++end;
        }
        if (end > i + 2 && number > 0 && (end == path.size() || path[end] == '/')) {
          steps.back().occurrence = number;
          i = end - 1;
          continue;
        }
      }
      steps.back().title += path[++i];
    } else if (c == '/') {
      steps.emplace_back();
    } else {
      steps.back().title += c;
    }
  }
  steps.erase(steps.begin());
  return steps;
}

std::vector<std::string> SplitItemPath(std::string_view path) {
  std::vector<std::string> titles;
  for (ItemPathStep& step : SplitItemPathSteps(path)) titles.push_back(std::move(step.title));
  return titles;
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
