#pragma once

#include <QEvent>
#include <string>

#include "base/message_ids.h"

namespace lumarine {

// WM_USER+103 to the channel bar: the unread news of the named channel (empty: all channels)
// can be loaded. The name travels with the event by value.
class UnreadReadyEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(kMsgUnreadReady);

  explicit UnreadReadyEvent(std::string channelName)
      : QEvent(kType), channelName(std::move(channelName)) {}

  std::string channelName;
};

}  // namespace lumarine
