#include "subject_feed_loader.h"

#include "feeds/rss_feed.h"

namespace lumarine {

std::vector<SubjectFeedItem> LoadSubjectFeed(const std::string& address, std::stop_token stop) {
  const RssFeed feed = ParseFeed(address, false, true, std::move(stop));
  std::vector<SubjectFeedItem> items;
  items.reserve(feed.ItemCount());
  for (const RssItem& item : feed.items) items.push_back({item.title, item.link, item.description});
  return items;
}

}  // namespace lumarine
