#pragma once

#include <QEvent>
#include <string>

#include "base/message_ids.h"

namespace lumarine {

// WM_USER+105 to the channel bar: wParam 0 after a subscribe, 1 after an unsubscribe,
// kFeedsEdited after the channel's feeds were added, removed, switched on or off; the
// channel name travels with the event by value.
class SubscriptionChangedEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(kMsgChannelSubscription);
  static constexpr int kFeedsEdited = 2;

  SubscriptionChangedEvent(int wParam, std::string channelName)
      : QEvent(kType), wParam(wParam), channelName(std::move(channelName)) {}

  int wParam;
  std::string channelName;
};

}  // namespace lumarine
