#pragma once

namespace lumarine {

// Messages the channel bar receives, as offsets n of WM_USER + n; in the GUI the event type
// is QEvent::User + n.
enum ChannelBarMessage : int {
  kMsgUnreadReady = 103,          // unread news of the named channel can be loaded
  kMsgSubscriptionChanged = 105,  // a channel was subscribed (0) or unsubscribed (1)
  kMsgInsertNewsRow = 106,        // insert one news row
};

}  // namespace lumarine
