#include "feeds/feed_health_book.h"

namespace lumarine {

void FeedHealthBook::Record(const std::string& address, const FeedHealth& health) {
  std::lock_guard lock(mutex_);
  health_[address] = health;
}

std::optional<FeedHealth> FeedHealthBook::Of(const std::string& address) const {
  std::lock_guard lock(mutex_);
  const auto found = health_.find(address);
  if (found == health_.end()) return std::nullopt;
  return found->second;
}

bool FeedHealthBook::AllFailed(const std::vector<std::string>& addresses) const {
  std::lock_guard lock(mutex_);
  bool known = false;
  for (const std::string& address : addresses) {
    const auto found = health_.find(address);
    if (found == health_.end()) continue;
    if (!found->second.Failed()) return false;
    known = true;
  }
  return known;
}

}  // namespace lumarine
