#pragma once

#include "feeds/worker_timing.h"

namespace lumarine::test {

// Worker timing at millisecond scale. The unread watcher checks only when asked, so tests
// decide when a showing pass runs.
inline WorkerTiming FastTiming() {
  using namespace std::chrono_literals;
  WorkerTiming timing;
  timing.firstPassDelay = 1ms;
  timing.feedPause = 0ms;
  timing.rowPause = 0ms;
  timing.recommendPause = 1ms;
  timing.unreadWait = 60s;
  return timing;
}

}  // namespace lumarine::test
