#pragma once

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>

namespace lumarine {

// The thread of one background worker: started with the worker's loop, asked to stop and
// joined by Stop() or on destruction. The loop watches its stop token itself.
class WorkerThread {
 public:
  using Loop = std::function<void(std::stop_token)>;

  WorkerThread() = default;
  ~WorkerThread() { Stop(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `loop` on a new thread; a loop still running is stopped and joined first.
  void Start(Loop loop);
  // Asks the loop to stop and waits until it has ended. Does nothing when none runs.
  void Stop();
  // The loop of the last Start has returned, on its own or when asked to.
  bool Ended() const { return ended_; }

 private:
  std::atomic<bool> ended_{false};
  std::jthread thread_;
};

}  // namespace lumarine
