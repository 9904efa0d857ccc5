#pragma once

#include <string>
#include <thread>
#include <vector>

#include "feeds/worker_timing.h"

namespace lumarine {

class ChannelBarLink;
class ChannelList;

// Downloads every feed of every due subscribed channel and stores the items as unread rows:
// a first pass shortly after start, then one per refresh interval, or at once when
// FeedRefreshEvent is set. A pass that stored new rows sets ListRefreshEvent. Runs while the bar
// exists; Stop() (or destruction) ends it, aborting a download in flight.
class RefreshWorker {
 public:
  RefreshWorker(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing = {},
                TickSource ticks = SystemTickCount);
  ~RefreshWorker();
  RefreshWorker(const RefreshWorker&) = delete;
  RefreshWorker& operator=(const RefreshWorker&) = delete;

  void Start();
  void Stop();

 private:
  void Run(std::stop_token stop);
  // Returns the number of new rows stored; appends their titles to `titles`.
  int DownloadPass(const std::stop_token& stop, std::vector<std::string>& titles);

  ChannelList& channels_;
  ChannelBarLink& bar_;
  WorkerTiming timing_;
  TickSource ticks_;
  std::jthread thread_;
};

}  // namespace lumarine
