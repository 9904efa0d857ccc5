#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumarine {

// What the web engine process is asked for before it starts. The bar shows two small local
// pages, so it gives up what costs memory and buys those pages nothing.
struct EngineHost {
  bool sandboxDisabled = false;  // the engine runs without its sandbox (as root)
  bool gpuPresent = true;        // a GPU render node exists
};

// The Chromium switches the program wants on such a host, each "--name" or "--name=value".
std::vector<std::string> DefaultEngineSwitches(const EngineHost& host);

// The switch text for QTWEBENGINE_CHROMIUM_FLAGS: ours first, then the user's own flags as
// given. A switch that the user names (with or without a value) is left to the user.
std::string MergeEngineSwitches(std::string_view userFlags, const std::vector<std::string>& ours);

}  // namespace lumarine
