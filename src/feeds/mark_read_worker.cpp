#include "feeds/mark_read_worker.h"

#include "feeds/rss_feed.h"
#include "store/news_store.h"

namespace lumarine {

void MarkReadWorker(std::unique_ptr<RssFeed> feed, int attempts, const std::stop_token& stop) {
  for (int attempt = 0; attempt < attempts; ++attempt)
    if (MarkItemsRead(feed.get(), stop) != 0) break;
}

}  // namespace lumarine
