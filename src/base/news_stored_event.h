#pragma once

#include <QEvent>
#include <string>
#include <vector>

#include "base/message_ids.h"

namespace lumarine {

// To the channel bar, which hands it on to the main frame: a refresh pass stored `count` new
// rows; `titles` are the first of them. Carried by value.
class NewsStoredEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(kMsgNewsStored);

  NewsStoredEvent(int count, std::vector<std::string> titles)
      : QEvent(kType), count(count), titles(std::move(titles)) {}

  int count;
  std::vector<std::string> titles;
};

}  // namespace lumarine
