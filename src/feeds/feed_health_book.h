#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "feeds/feed_health.h"

namespace lumarine {

// The health of every feed downloaded in this run, by feed address. The refresh worker writes
// it; the channel dialogs read it on the GUI thread. Kept in memory only: a new run starts
// with nothing known. Thread-safe.
class FeedHealthBook {
 public:
  void Record(const std::string& address, const FeedHealth& health);
  std::optional<FeedHealth> Of(const std::string& address) const;
  // True when at least one of the addresses has been downloaded and the last download of
  // every one downloaded failed. Addresses never downloaded (switched off, not yet due) count
  // for nothing either way.
  bool AllFailed(const std::vector<std::string>& addresses) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, FeedHealth> health_;
};

}  // namespace lumarine
