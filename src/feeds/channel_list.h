#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "feeds/subscribed_channel.h"

namespace lumarine {

// The channel bar's subscribed channels and its current channel, behind one lock. The bar
// changes them on the GUI thread; the workers take copies of what they need and write back
// only the last refresh tick. The lock is never held during downloads or database work.
class ChannelList {
 public:
  // What the refresh worker takes of one channel.
  struct Snapshot {
    // Which record this is. Not its address: a channel unsubscribed and subscribed again
    // while its download runs may get the freed record's address.
    uint64_t serial;
    std::string name;
    std::vector<std::string> feeds;
    uint32_t lastRefresh;
    bool refreshRequested;
  };

  void Reset(std::vector<std::unique_ptr<SubscribedChannel>> channels);
  void Add(std::unique_ptr<SubscribedChannel> channel);
  // Removes the first channel of that name; the current channel falls back to all channels
  // when it was the one removed. False when no channel had the name.
  bool Remove(const std::string& name);

  // Chooses the channel on show by name; an empty or unknown name means all channels.
  void SetCurrent(const std::string& name);
  std::string CurrentName() const;

  size_t Size() const;
  std::vector<std::string> Names() const;
  std::optional<Snapshot> At(size_t index) const;
  // The same, for a refresh pass that takes the channel: clears its refresh request.
  std::optional<Snapshot> TakeAt(size_t index);
  // Asks for the named channel (empty: every channel) to be fetched at the next pass.
  void RequestRefresh(const std::string& name);
  // Gives the named channel a new feed list and asks for it to be fetched. False when no
  // subscribed channel has the name.
  bool SetFeeds(const std::string& name, std::vector<std::string> feeds);
  // Records a refresh if the record is still in the list.
  void SetLastRefresh(uint64_t serial, uint32_t tick);
  // Assigns command ids to the channels in list order, starting at `firstId`.
  void NumberMenuCommands(int firstId);
  // Name of the channel with that command id, if any.
  std::optional<std::string> NameOfCommand(int commandId) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<SubscribedChannel>> channels_;
  uint64_t lastSerial_ = 0;  // the serial the last record that joined the list got
  const SubscribedChannel* current_ = nullptr;
};

}  // namespace lumarine
