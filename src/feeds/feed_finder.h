#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/feed_health.h"
#include "feeds/rss_feed.h"

namespace lumarine {

// Checks an address a user typed as a feed. When the address gives a web page instead, the
// feeds the page announces (<link rel="alternate" type="application/rss+xml"> or Atom) are
// tried in page order and the first that gives news is taken.
class FeedFinder {
 public:
  struct Result {
    std::string address;  // the feed taken: the address given, or one its page links
    FeedHealth health;    // of that feed; when none gave news, why the address given failed
    RssFeed feed;         // its items (and title, when asked for)
  };

  // Blocks for the downloads; `stop` aborts them.
  static Result Check(const std::string& address, bool wantTitle, std::stop_token stop = {});
  // One download of `address` read as a feed, without looking for a page's feeds.
  static Result Fetch(const std::string& address, const FeedParseOptions& options,
                      std::stop_token stop = {});

  // The feed addresses an HTML page announces, made absolute against the page's <base> and
  // `pageAddress`, without repeats.
  static std::vector<std::string> AnnouncedFeeds(std::string_view html,
                                                 std::string_view pageAddress);
};

}  // namespace lumarine
