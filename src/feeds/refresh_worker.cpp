#include "feeds/refresh_worker.h"

#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "platform/message_box.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

// How many titles of a pass the bar is given to announce.
constexpr size_t kAnnouncedTitles = 3;

}  // namespace

RefreshWorker::RefreshWorker(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing,
                             TickSource ticks)
    : channels_(channels), bar_(bar), timing_(timing), ticks_(std::move(ticks)) {}

RefreshWorker::~RefreshWorker() { Stop(); }

void RefreshWorker::Start() {
  thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void RefreshWorker::Stop() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

void RefreshWorker::Run(std::stop_token stop) {
  if (!PauseFor(stop, timing_.firstPassDelay)) return;
  while (!stop.stop_requested() && bar_.IsAlive()) {
    try {
      // New rows are shown when the pass ends, not only at the unread watcher's next round
      // minutes later.
      std::vector<std::string> titles;
      if (const int stored = DownloadPass(stop, titles); stored > 0) {
        ListRefreshEvent().Set();
        if (titles.size() > kAnnouncedTitles) titles.resize(kAnnouncedTitles);
        bar_.PostNewsStored(stored, std::move(titles));
      }
    } catch (...) {
      ShowMessageBox("error!!!");
    }
    // A set that arrived during the pass is dropped here: it must not shorten the wait.
    FeedRefreshEvent().Reset();
    FeedRefreshEvent().Wait(stop, timing_.refreshWait);
  }
}

int RefreshWorker::DownloadPass(const std::stop_token& stop, std::vector<std::string>& titles) {
  int stored = 0;
  for (size_t index = 0; !stop.stop_requested() && bar_.IsAlive(); ++index) {
    const auto channel = channels_.At(index);
    if (!channel) break;
    const uint32_t now = ticks_();
    if (!IsChannelDue(channel->lastRefresh, now, timing_.dueAfterMs)) continue;
    for (const std::string& address : channel->feeds) {
      if (!PauseFor(stop, timing_.feedPause)) return stored;
      RssFeed feed = ParseFeed(address, false, false, stop);
      if (stop.stop_requested()) return stored;
      feed.feedLink = address;
      feed.className = channel->name;
      stored += SaveFeedItems(feed, true, &titles);
      // A failed feed counts as refreshed too, so it is not retried before the interval.
      channels_.SetLastRefresh(channel->record, now);
    }
  }
  return stored;
}

}  // namespace lumarine
