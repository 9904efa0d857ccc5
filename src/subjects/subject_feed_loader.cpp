#include "subject_feed_loader.h"

#include "feeds/feed_finder.h"

namespace lumarine {

std::vector<SubjectFeedItem> LoadSubjectFeed(const std::string& address, std::stop_token stop,
                                             std::string* failure) {
  const FeedFinder::Result fetched =
      FeedFinder::Fetch(address, {.wantTitle = false, .wantDescriptions = true}, std::move(stop));
  const RssFeed& feed = fetched.feed;
  if (failure && !feed.IsValid()) *failure = FeedHealthText(fetched.health);
  std::vector<SubjectFeedItem> items;
  items.reserve(feed.ItemCount());
  for (const RssItem& item : feed.items) items.push_back({item.title, item.link, item.description});
  return items;
}

}  // namespace lumarine
