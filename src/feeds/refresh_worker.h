#pragma once

#include <string>
#include <vector>

#include "feeds/feed_fetcher.h"
#include "feeds/worker_thread.h"
#include "feeds/worker_timing.h"

namespace lumarine {

class ChannelBarLink;
class ChannelList;
class FeedHealthBook;

// Downloads every feed of every due subscribed channel and stores the items as unread rows:
// a first pass shortly after start, then one per refresh interval, or at once when
// FeedRefreshEvent is set. The feeds of a pass download several at once (FeedFetcher), so a
// dead feed holds up no other. A pass that stored new rows sets ListRefreshEvent. Runs while
// the bar exists; Stop() (or destruction) ends it, aborting the downloads in flight.
class RefreshWorker {
 public:
  // `health`, when given, receives the result of every feed download; not owned, it must
  // outlive the worker.
  RefreshWorker(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing = {},
                TickSource ticks = SystemTickCount, FeedHealthBook* health = nullptr);
  ~RefreshWorker();
  RefreshWorker(const RefreshWorker&) = delete;
  RefreshWorker& operator=(const RefreshWorker&) = delete;

  void Start();
  void Stop();
  // Whether the thread has returned, on its own or stopped. Any thread.
  bool HasEnded() const { return thread_.Ended(); }

 private:
  void Run(std::stop_token stop);
  // Returns the number of new rows stored; appends their titles to `titles`.
  int DownloadPass(const std::stop_token& stop, std::vector<std::string>& titles);

  ChannelList& channels_;
  ChannelBarLink& bar_;
  WorkerTiming timing_;
  TickSource ticks_;
  FeedFetcher fetcher_;  // used by the worker thread only
  WorkerThread thread_;
};

}  // namespace lumarine
