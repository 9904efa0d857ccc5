#include "feeds/refresh_worker.h"

#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "platform/message_box.h"

namespace lumarine {
namespace {

// How many titles of a pass the bar is given to announce.
constexpr size_t kAnnouncedTitles = 3;

}  // namespace

RefreshWorker::RefreshWorker(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing,
                             TickSource ticks, FeedHealthBook* health)
    : channels_(channels),
      bar_(bar),
      timing_(timing),
      ticks_(std::move(ticks)),
      fetcher_(timing.maxTransfers, timing.feedPause, health) {}

RefreshWorker::~RefreshWorker() { Stop(); }

void RefreshWorker::Start() {
  thread_.Start([this](std::stop_token stop) { Run(stop); });
}

void RefreshWorker::Stop() { thread_.Stop(); }

void RefreshWorker::Run(std::stop_token stop) {
  if (!PauseFor(stop, timing_.firstPassDelay)) return;
  while (!stop.stop_requested() && bar_.IsAlive()) {
    // A wake that arrives during the pass runs another one at once: it asks for channels
    // (refresh, changed feeds) that this pass may have taken before the request. Channels
    // fetched by this pass are not due then, so that pass costs nothing else.
    FeedRefreshEvent().Reset();
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
    bar_.PostRefreshPassDone();
    FeedRefreshEvent().Wait(stop, timing_.refreshWait);
  }
}

int RefreshWorker::DownloadPass(const std::stop_token& stop, std::vector<std::string>& titles) {
  // The due channels are taken when the pass starts; each feed's channel and the tick its
  // channel was found due at go with it.
  std::vector<FeedFetcher::Job> jobs;
  std::vector<std::pair<uint64_t, uint32_t>> owners;
  for (size_t index = 0;; ++index) {
    const auto channel = channels_.TakeAt(index);
    if (!channel) break;
    const uint32_t now = ticks_();
    if (!channel->refreshRequested && !IsChannelDue(channel->lastRefresh, now, timing_.dueAfterMs))
      continue;
    for (const std::string& address : channel->feeds) {
      jobs.push_back({address, channel->name});
      owners.emplace_back(channel->serial, now);
    }
  }
  return fetcher_.RunPass(
      jobs,
      [&](size_t job) {
        // A failed feed counts as refreshed too, so it is not retried before the interval.
        channels_.SetLastRefresh(owners[job].first, owners[job].second);
      },
      titles, stop);
}

}  // namespace lumarine
