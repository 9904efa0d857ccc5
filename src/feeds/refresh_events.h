#pragma once

#include <string>

#include "platform/manual_reset_event.h"

namespace lumarine {

// Process-wide values shared by the channel bar and its workers.

// Wakes the unread watcher: a channel was chosen, the list should be refreshed.
ManualResetEvent& ListRefreshEvent();
// Wakes the refresh worker: a channel was subscribed and should be downloaded now.
ManualResetEvent& FeedRefreshEvent();

// The channel whose news the list shows (empty: all channels). Set by the bar when it starts
// a showing pass, read by that pass.
std::string ShownChannelName();
void SetShownChannelName(std::string name);

}  // namespace lumarine
