#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumarine {

// One news item of a subject's feed, as the page shows it.
struct SubjectFeedItem {
  std::string title;
  std::string link;
  std::string description;
};

// Downloads and parses a feed; no items when it cannot be loaded, and then `failure` (when
// given) says why in the user's words. Must return soon after `stop` is requested.
using SubjectFeedLoader = std::function<std::vector<SubjectFeedItem>(
    const std::string& address, std::stop_token stop, std::string* failure)>;

// The items of the feed at `address` (any format the feed parser reads), in document order.
std::vector<SubjectFeedItem> LoadSubjectFeed(const std::string& address, std::stop_token stop,
                                             std::string* failure = nullptr);

}  // namespace lumarine
