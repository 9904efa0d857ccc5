#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

namespace lumarine {

using std::chrono::milliseconds;

// Timing of the background workers; tests shrink it to milliseconds.
struct WorkerTiming {
  milliseconds firstPassDelay{10'000};
  milliseconds refreshWait{900'000};  // between download passes
  uint32_t dueAfterMs = 900'000;      // a channel is due when refreshed longer ago than this
  milliseconds feedPause{10};         // between the starts of two feed downloads
  size_t maxTransfers = 6;            // feed downloads of a pass at once
  // The news list says why it is empty after the first refresh pass, or this long after
  // start at the latest.
  milliseconds listNoticeDelay{20'000};
  milliseconds unreadWait{480'000};  // between unread checks
  milliseconds recommendPause{3'000};
  size_t maxRowsPerPass = 18;
  milliseconds rowPause{5};
  int markReadAttempts = 2;
};

// Millisecond tick count that wraps at 32 bits, like the desktop's system tick.
using TickSource = std::function<uint32_t()>;
uint32_t SystemTickCount();

// Due when never refreshed, or when the tick distance, taken as a signed 32-bit difference
// and made absolute, exceeds the interval (so the rule survives the tick's wrap-around).
bool IsChannelDue(uint32_t lastRefresh, uint32_t now, uint32_t interval);

}  // namespace lumarine

namespace lumarine {

// Sleeps for `duration` unless a stop is requested first; false when stopped.
bool PauseFor(const std::stop_token& stop, milliseconds duration);

}  // namespace lumarine
