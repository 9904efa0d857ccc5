#pragma once

#include <QEvent>
#include <cstdint>

#include "base/message_ids.h"

namespace lumarine {

static_assert(QEvent::User == kWmUser);

// A posted window message: its number and two parameters, carried by value.
class UserMessageEvent : public QEvent {
 public:
  UserMessageEvent(int message, std::intptr_t first = 0, std::intptr_t second = 0)
      : QEvent(static_cast<QEvent::Type>(message)), first_(first), second_(second) {}

  int Message() const { return static_cast<int>(type()); }
  std::intptr_t First() const { return first_; }
  std::intptr_t Second() const { return second_; }

 private:
  std::intptr_t first_;
  std::intptr_t second_;
};

// Posts message `message` with its parameters to `receiver` (which takes the event).
void PostUserMessage(QObject* receiver, int message, std::intptr_t first = 0,
                     std::intptr_t second = 0);

// Posts command `commandId` to `receiver` as a kMsgCommand message.
inline void PostCommand(QObject* receiver, int commandId) {
  PostUserMessage(receiver, kMsgCommand, commandId);
}

}  // namespace lumarine
