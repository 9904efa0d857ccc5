#pragma once

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "feeds/worker_timing.h"

namespace lumarine {

class ChannelBarLink;

// Showing passes: each loads up to 18 unread rows of the shown channel, hands them to the bar
// one by one and then has them marked read (MarkReadWorker). Passes run on their own threads
// and may be started while others run, but take their rows one after another: a pass loads
// only once the pass before it has marked its rows read, so no two passes hand the same rows.
// Destruction stops and joins every pass still running.
class NewsListLoader {
 public:
  explicit NewsListLoader(ChannelBarLink& bar, WorkerTiming timing = {});
  ~NewsListLoader();
  NewsListLoader(const NewsListLoader&) = delete;
  NewsListLoader& operator=(const NewsListLoader&) = delete;

  // Starts one pass for the channel in ShownChannelName() at the moment the pass starts.
  void StartPass();
  void StopAll();
  // Passes still running.
  size_t RunningPasses();
  // Passes waiting for the pass before them to mark its rows read.
  size_t WaitingPasses();

 private:
  struct Pass {
    std::atomic<bool> done{false};
    std::jthread thread;
  };

  void Run(const std::stop_token& stop);
  void ReapFinished();

  ChannelBarLink& bar_;
  WorkerTiming timing_;
  std::mutex mutex_;
  std::list<std::unique_ptr<Pass>> passes_;
  // Held by the pass that is between loading its rows and marking them read.
  std::mutex rowsMutex_;
  std::condition_variable_any rowsFree_;
  bool rowsTaken_ = false;
  size_t waitingPasses_ = 0;
};

}  // namespace lumarine
