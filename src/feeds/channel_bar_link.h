#pragma once

#include <stop_token>
#include <string>
#include <vector>

namespace lumarine {

struct RssItem;

// The channel bar as the background workers see it. The GUI implements it with Qt events;
// tests implement it with recorders. Every member may be called from any worker thread.
class ChannelBarLink {
 public:
  virtual ~ChannelBarLink() = default;

  // "Unread news of this channel can be loaded" (empty name: all channels). Posted: returns
  // at once; the name travels by value.
  virtual void PostUnreadReady(std::string channelName) = 0;

  // Hands one news row to the bar and waits until the bar has inserted it. Gives up (false)
  // when the bar is gone or `stop` is requested, so that shutdown never deadlocks.
  virtual bool SendNewsRow(const RssItem& item, std::stop_token stop) = 0;

  // A refresh pass (or the first recommendation list) stored `count` new rows; `titles` holds
  // the titles of the first of them, at most three. Posted: returns at once. The bar uses it
  // to tell a user who cannot see the news list.
  virtual void PostNewsStored(int count, std::vector<std::string> titles) {
    (void)count;
    (void)titles;
  }

  // A refresh pass ended, whatever it stored; the feeds' health may have changed. Posted.
  virtual void PostRefreshPassDone() {}

  // Whether the bar window still exists.
  virtual bool IsAlive() const = 0;
};

}  // namespace lumarine
