#pragma once

#include <QEvent>
#include <memory>

#include "base/message_ids.h"
#include "feeds/rss_feed.h"

namespace lumarine {

// WM_USER+106 to the channel bar: one news row handed over by a showing pass, which waits for
// the bar to take it. The item is a copy, so the event never points into the worker's feed.
class NewsRowEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(kMsgInsertNewsRow);

  // Shared by the waiting worker and the event, both fields guarded by the bar's hand-over
  // lock: the bar sets `taken` when it inserts the row, the worker sets `abandoned` when it
  // stops waiting first. Whichever comes first decides, so a row is inserted exactly when
  // the worker reports it handed over (and only such rows are marked read).
  struct HandOver {
    bool taken = false;
    bool abandoned = false;
  };

  NewsRowEvent(RssItem item, std::shared_ptr<HandOver> handOver)
      : QEvent(kType), item(std::move(item)), handOver(std::move(handOver)) {}

  RssItem item;
  std::shared_ptr<HandOver> handOver;
};

}  // namespace lumarine
