#include "base/user_message_event.h"

#include <QCoreApplication>

namespace lumarine {

void PostUserMessage(QObject* receiver, int message, std::intptr_t first, std::intptr_t second) {
  if (receiver == nullptr) return;
  QCoreApplication::postEvent(receiver, new UserMessageEvent(message, first, second));
}

}  // namespace lumarine
