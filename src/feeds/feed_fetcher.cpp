#include "feeds/feed_fetcher.h"

#include "feeds/feed_health_book.h"
#include "feeds/rss_feed.h"
#include "platform/http_client.h"
#include "store/news_store.h"

namespace lumarine {

FeedFetcher::FeedFetcher(size_t maxTransfers, std::chrono::milliseconds startPause,
                         FeedHealthBook* health)
    : maxTransfers_(maxTransfers), startPause_(startPause), health_(health) {}

int FeedFetcher::RunPass(const std::vector<Job>& jobs,
                         const std::function<void(size_t)>& onFeedDone,
                         std::vector<std::string>& titles, const std::stop_token& stop) {
  std::vector<HttpRequest> requests(jobs.size());
  for (size_t i = 0; i < jobs.size(); ++i) {
    requests[i].url = jobs[i].address;
    if (const auto known = validators_.find(jobs[i].address); known != validators_.end()) {
      requests[i].ifNoneMatch = known->second.etag;
      requests[i].ifModifiedSince = known->second.lastModified;
    }
  }
  int stored = 0;
  HttpGetAll(
      requests, maxTransfers_, startPause_,
      [&](size_t index, HttpResponse& response) {
        if (stop.stop_requested()) return;
        const Job& job = jobs[index];
        if (response.notModified) {
          // Unchanged since it was stored: its health and validators stand.
          onFeedDone(index);
          return;
        }
        if (!response.ok) {
          if (health_) health_->Record(job.address, FeedHealth::OfFailedDownload(response));
          onFeedDone(index);
          return;
        }
        FeedParseResult parsed = FeedParseResult::kUnreadableXml;
        RssFeed feed = ParseFeedFromMemory(
            response.body, {},
            {.httpCharset = CharsetOfContentType(response.contentType), .address = job.address},
            &parsed);
        feed.feedLink = job.address;
        feed.className = job.channel;
        SaveFeedResult saved = SaveFeedItems(feed, {.stop = stop});
        stored += saved.stored;
        titles.insert(titles.end(), std::make_move_iterator(saved.titles.begin()),
                      std::make_move_iterator(saved.titles.end()));
        // Validators stand for what was stored: after a failed save the next pass must
        // download the feed in full, not be told it is unchanged.
        if (!saved.failed && (!response.etag.empty() || !response.lastModified.empty()))
          validators_[job.address] = {response.etag, response.lastModified};
        else
          validators_.erase(job.address);
        if (health_) health_->Record(job.address, FeedHealth::OfParse(parsed, feed.ItemCount()));
        onFeedDone(index);
      },
      stop);
  return stored;
}

}  // namespace lumarine
