#include "feeds/worker_timing.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace lumarine {

uint32_t SystemTickCount() {
  const auto elapsed =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(elapsed.count());
}

bool IsChannelDue(uint32_t lastRefresh, uint32_t now, uint32_t interval) {
  if (lastRefresh == 0) return true;
  const auto difference = static_cast<int32_t>(now - lastRefresh);
  const auto distance = static_cast<uint32_t>(std::llabs(static_cast<long long>(difference)));
  return distance > interval;
}

}  // namespace lumarine

namespace lumarine {

bool PauseFor(const std::stop_token& stop, milliseconds duration) {
  std::mutex mutex;
  std::condition_variable_any woken;
  std::unique_lock lock(mutex);
  return !woken.wait_for(lock, stop, duration, [] { return false; }) && !stop.stop_requested();
}

}  // namespace lumarine
