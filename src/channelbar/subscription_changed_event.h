#pragma once

#include <QEvent>
#include <string>

#include "base/message_ids.h"

namespace lumarine {

// WM_USER+105 to the channel bar, telling what changed; the channel name travels with the
// event by value.
class SubscriptionChangedEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(kMsgChannelSubscription);
  // The message's wParam values.
  enum class Change {
    kSubscribed = 0,
    kUnsubscribed = 1,
    // The channel's feeds were added, removed, switched on or off.
    kFeedsEdited = 2,
  };

  SubscriptionChangedEvent(Change change, std::string channelName)
      : QEvent(kType), change(change), channelName(std::move(channelName)) {}

  Change change;
  std::string channelName;
};

}  // namespace lumarine
