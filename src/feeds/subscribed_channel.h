#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumarine {

// A channel the user subscribed, as the channel bar keeps it. The bar owns the records; the
// refresh worker reads them and writes only `lastRefresh`, both under the bar's channel lock.
struct SubscribedChannel {
  std::string name;                // section name in the profile files and news class
  std::vector<std::string> feeds;  // feed addresses to download
  uint32_t lastRefresh = 0;        // millisecond tick of the last stored feed; 0 = never
  int menuCommandId = 0;           // command id in the channel menu, set when it is built
  // Fetch at the next pass whether due or not (refresh asked for, feeds changed). Survives a
  // pass already running, whose downloads predate the request.
  bool refreshRequested = false;
  uint64_t serial = 0;  // given by the channel list when the record joins it; never reused
};

}  // namespace lumarine
