#pragma once

#include <stop_token>
#include <string>

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

  // Whether the bar window still exists.
  virtual bool IsAlive() const = 0;
};

}  // namespace lumarine
