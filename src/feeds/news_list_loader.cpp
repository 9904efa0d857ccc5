#include "feeds/news_list_loader.h"

#include "feeds/channel_bar_link.h"
#include "feeds/mark_read_worker.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "store/news_store.h"

namespace lumarine {

NewsListLoader::NewsListLoader(ChannelBarLink& bar, WorkerTiming timing)
    : bar_(bar), timing_(timing) {}

NewsListLoader::~NewsListLoader() { StopAll(); }

void NewsListLoader::StartPass() {
  std::lock_guard lock(mutex_);
  ReapFinished();
  auto pass = std::make_unique<Pass>();
  Pass& started = *pass;
  passes_.push_back(std::move(pass));
  started.thread = std::jthread([this, &started](std::stop_token stop) {
    Run(stop);
    started.done = true;
  });
}

void NewsListLoader::StopAll() {
  std::list<std::unique_ptr<Pass>> passes;
  {
    std::lock_guard lock(mutex_);
    passes.swap(passes_);
  }
  for (auto& pass : passes) pass->thread.request_stop();
  passes.clear();  // joins
}

size_t NewsListLoader::RunningPasses() {
  std::lock_guard lock(mutex_);
  ReapFinished();
  return passes_.size();
}

size_t NewsListLoader::WaitingPasses() {
  std::lock_guard lock(rowsMutex_);
  return waitingPasses_;
}

void NewsListLoader::ReapFinished() {
  passes_.remove_if([](const std::unique_ptr<Pass>& pass) { return pass->done.load(); });
}

void NewsListLoader::Run(const std::stop_token& stop) {
  {
    std::unique_lock lock(rowsMutex_);
    ++waitingPasses_;
    const bool free = rowsFree_.wait(lock, stop, [this] { return !rowsTaken_; });
    --waitingPasses_;
    if (!free) return;
    rowsTaken_ = true;
  }
  struct Release {
    NewsListLoader& loader;
    ~Release() {
      {
        std::lock_guard lock(loader.rowsMutex_);
        loader.rowsTaken_ = false;
      }
      loader.rowsFree_.notify_all();
    }
  } release{*this};
  auto feed = std::make_unique<RssFeed>();
  LoadUnreadItems(*feed, ShownChannelName(), stop);
  size_t handed = 0;
  while (handed < feed->ItemCount() && handed < timing_.maxRowsPerPass) {
    if (!bar_.SendNewsRow(feed->Item(handed), stop)) break;
    ++handed;
    if (!PauseFor(stop, timing_.rowPause)) break;
  }
  // Only rows the bar really received become read; the rest stay for the next pass.
  feed->items.resize(handed);
  MarkReadWorker(std::move(feed), timing_.markReadAttempts, stop);
}

}  // namespace lumarine
