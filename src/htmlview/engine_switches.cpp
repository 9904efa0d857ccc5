#include "htmlview/engine_switches.h"

#include <algorithm>

namespace lumarine {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// "--name=value" and "-name" give "name".
std::string_view SwitchName(std::string_view flag) {
  while (!flag.empty() && flag.front() == '-') flag.remove_prefix(1);
  return flag.substr(0, flag.find('='));
}

std::vector<std::string_view> SplitFlags(std::string_view text) {
  std::vector<std::string_view> flags;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) flags.push_back(text.substr(start, i - start));
  }
  return flags;
}

}  // namespace

std::vector<std::string> DefaultEngineSwitches(const EngineHost& host) {
  // Both views share one renderer process; the channel manager's view comes and goes.
  std::vector<std::string> switches = {"--renderer-process-limit=1"};
  // Without a GPU, GL means a software rasteriser loaded into the process (tens of MiB);
  // plain software compositing draws a news list just as well.
  if (!host.gpuPresent) switches.push_back("--disable-gpu");
  // The zygotes only serve the sandbox; without it the renderer is started directly.
  if (host.sandboxDisabled) switches.push_back("--no-zygote");
  return switches;
}

std::string MergeEngineSwitches(std::string_view userFlags, const std::vector<std::string>& ours) {
  const std::vector<std::string_view> user = SplitFlags(userFlags);
  std::string merged;
  for (const std::string& flag : ours) {
    const std::string_view name = SwitchName(flag);
    const bool named = std::any_of(user.begin(), user.end(), [name](std::string_view given) {
      return SwitchName(given) == name;
    });
    if (named) continue;
    if (!merged.empty()) merged += ' ';
    merged += flag;
  }
  for (std::string_view flag : user) {
    if (!merged.empty()) merged += ' ';
    merged += flag;
  }
  return merged;
}

}  // namespace lumarine
