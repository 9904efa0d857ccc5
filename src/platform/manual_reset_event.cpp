#include "platform/manual_reset_event.h"

namespace lumarine {

void ManualResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  changed_.notify_all();
}

void ManualResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool ManualResetEvent::IsSet() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

bool ManualResetEvent::Wait(std::stop_token stop, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  const bool signalled = changed_.wait_for(lock, stop, timeout, [this] { return signalled_; });
  return signalled && !stop.stop_requested();
}

}  // namespace lumarine
