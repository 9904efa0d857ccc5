#pragma once

#include "feeds/worker_thread.h"
#include "feeds/worker_timing.h"

namespace lumarine {

class ChannelBarLink;
class ChannelList;

// Checks, every unread interval or when ListRefreshEvent is set, whether the news of the
// channel on show can be loaded, and tells the bar so after every check that could run.
class UnreadWatcher {
 public:
  UnreadWatcher(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing = {});
  ~UnreadWatcher();
  UnreadWatcher(const UnreadWatcher&) = delete;
  UnreadWatcher& operator=(const UnreadWatcher&) = delete;

  void Start();
  void Stop();

 private:
  void Run(std::stop_token stop);

  ChannelList& channels_;
  ChannelBarLink& bar_;
  WorkerTiming timing_;
  WorkerThread thread_;
};

}  // namespace lumarine
