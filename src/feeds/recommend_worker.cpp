#include "feeds/recommend_worker.h"

#include <optional>

#include "base/news_notice.h"
#include "feeds/channel_bar_link.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "platform/settings.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

// The number of new rows stored, with their titles; empty when stopped.
std::optional<int> StoreList(const std::string& address, const std::stop_token& stop,
                             std::vector<std::string>& titles) {
  RssFeed feed = ParseFeed(address, {}, stop);
  if (stop.stop_requested()) return std::nullopt;
  feed.feedLink = address;
  feed.className = RecommendWorker::kRecommendClass;
  // Asked to end at exit, the worker must not sit out a lock held elsewhere.
  SaveFeedResult saved = SaveFeedItems(feed, {.stop = stop});
  titles = std::move(saved.titles);
  return saved.stored;
}

}  // namespace

RecommendWorker::RecommendWorker(WorkerTiming timing, ChannelBarLink* bar)
    : timing_(timing), bar_(bar) {}

RecommendWorker::~RecommendWorker() { Stop(); }

void RecommendWorker::Start() {
  thread_.Start([this](std::stop_token stop) { Run(stop); });
}

void RecommendWorker::Stop() { thread_.Stop(); }

void RecommendWorker::Run(std::stop_token stop) {
  const std::string homeServer = Settings::HomeServer();
  if (homeServer.empty()) return;
  std::vector<std::string> titles;
  const std::optional<int> stored = StoreList(homeServer + kFirstListPath, stop, titles);
  if (!stored) return;
  ListRefreshEvent().Set();
  // Only the first list is announced, as only it asks for the list to be shown.
  if (*stored > 0 && bar_ != nullptr) {
    if (titles.size() > NewsNotice::kMostTitles) titles.resize(NewsNotice::kMostTitles);
    bar_->PostNewsStored(*stored, std::move(titles));
  }
  if (!PauseFor(stop, timing_.recommendPause)) return;
  titles.clear();
  StoreList(homeServer + kSecondListPath, stop, titles);
}

}  // namespace lumarine
