#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace lumarine {

// An event that stays signalled until reset; waits also end when their stop token fires.
class ManualResetEvent {
 public:
  void Set();
  void Reset();
  bool IsSet() const;

  // True when the event is (or becomes) signalled within the timeout; false on timeout or
  // when a stop was requested.
  bool Wait(std::stop_token stop, std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  bool signalled_ = false;
};

}  // namespace lumarine
