#pragma once

#include <string>

#include "feeds/worker_thread.h"
#include "feeds/worker_timing.h"

namespace lumarine {

class ChannelBarLink;

// Stores the home server's two recommendation lists once, as unread rows of class "推荐",
// and wakes the unread watcher after the first. When the first stored new rows it tells `bar`
// (if given) how many, with their first titles. Does nothing without a home server.
class RecommendWorker {
 public:
  static constexpr const char* kRecommendClass = "推荐";
  static constexpr const char* kFirstListPath = "/channel/recommend3.asp";
  static constexpr const char* kSecondListPath = "/channel/recommend1.asp";

  // `bar`, when given, must outlive the worker.
  explicit RecommendWorker(WorkerTiming timing = {}, ChannelBarLink* bar = nullptr);
  ~RecommendWorker();
  RecommendWorker(const RecommendWorker&) = delete;
  RecommendWorker& operator=(const RecommendWorker&) = delete;

  // The home server is read when the pass starts.
  void Start();
  void Stop();
  // Whether the thread has returned, on its own or stopped. Any thread.
  bool HasEnded() const { return thread_.Ended(); }

 private:
  void Run(std::stop_token stop);

  WorkerTiming timing_;
  ChannelBarLink* bar_;
  WorkerThread thread_;
};

}  // namespace lumarine
