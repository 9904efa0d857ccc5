#include "feeds/unread_watcher.h"

#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/refresh_events.h"
#include "store/news_store.h"

namespace lumarine {

UnreadWatcher::UnreadWatcher(ChannelList& channels, ChannelBarLink& bar, WorkerTiming timing)
    : channels_(channels), bar_(bar), timing_(timing) {}

UnreadWatcher::~UnreadWatcher() { Stop(); }

void UnreadWatcher::Start() {
  thread_.Start([this](std::stop_token stop) { Run(stop); });
}

void UnreadWatcher::Stop() { thread_.Stop(); }

void UnreadWatcher::Run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    ListRefreshEvent().Wait(stop, timing_.unreadWait);
    if (stop.stop_requested()) return;
    // Reset before reading the channel: a channel chosen while this check runs sets the
    // event again and gets its own check, instead of waiting out the next interval.
    ListRefreshEvent().Reset();
    std::string name = channels_.CurrentName();
    if (CheckUnreadItems(name, stop)) bar_.PostUnreadReady(std::move(name));
  }
}

}  // namespace lumarine
