#include "feeds/recommend_worker.h"

#include "app/settings.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

bool StoreList(const std::string& address, const std::stop_token& stop) {
  RssFeed feed = ParseFeed(address, false, false, stop);
  if (stop.stop_requested()) return false;
  feed.feedLink = address;
  feed.className = RecommendWorker::kRecommendClass;
  SaveFeedItems(feed, true);
  return true;
}

}  // namespace

RecommendWorker::RecommendWorker(WorkerTiming timing) : timing_(timing) {}

RecommendWorker::~RecommendWorker() { Stop(); }

void RecommendWorker::Start() {
  thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void RecommendWorker::Stop() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

void RecommendWorker::Run(std::stop_token stop) {
  const std::string homeServer = Settings::HomeServer();
  if (homeServer.empty()) return;
  if (!StoreList(homeServer + kFirstListPath, stop)) return;
  ListRefreshEvent().Set();
  if (!PauseFor(stop, timing_.recommendPause)) return;
  StoreList(homeServer + kSecondListPath, stop);
}

}  // namespace lumarine
