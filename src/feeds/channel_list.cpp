#include "feeds/channel_list.h"

#include <algorithm>

namespace lumarine {

void ChannelList::Reset(std::vector<std::unique_ptr<SubscribedChannel>> channels) {
  std::lock_guard lock(mutex_);
  channels_ = std::move(channels);
  for (const auto& channel : channels_) channel->serial = ++lastSerial_;
  current_ = nullptr;
}

void ChannelList::Add(std::unique_ptr<SubscribedChannel> channel) {
  std::lock_guard lock(mutex_);
  channel->serial = ++lastSerial_;
  channels_.push_back(std::move(channel));
}

bool ChannelList::Remove(const std::string& name) {
  std::lock_guard lock(mutex_);
  const auto found = std::find_if(channels_.begin(), channels_.end(),
                                  [&name](const auto& channel) { return channel->name == name; });
  if (found == channels_.end()) return false;
  if (found->get() == current_) current_ = nullptr;
  channels_.erase(found);
  return true;
}

void ChannelList::SetCurrent(const std::string& name) {
  std::lock_guard lock(mutex_);
  current_ = nullptr;
  if (name.empty()) return;
  for (const auto& channel : channels_)
    if (channel->name == name) {
      current_ = channel.get();
      return;
    }
}

std::string ChannelList::CurrentName() const {
  std::lock_guard lock(mutex_);
  return current_ ? current_->name : std::string();
}

size_t ChannelList::Size() const {
  std::lock_guard lock(mutex_);
  return channels_.size();
}

std::vector<std::string> ChannelList::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const auto& channel : channels_) names.push_back(channel->name);
  return names;
}

std::optional<ChannelList::Snapshot> ChannelList::At(size_t index) const {
  std::lock_guard lock(mutex_);
  if (index >= channels_.size()) return std::nullopt;
  const SubscribedChannel& channel = *channels_[index];
  return Snapshot{channel.serial, channel.name, channel.feeds, channel.lastRefresh,
                  channel.refreshRequested};
}

std::optional<ChannelList::Snapshot> ChannelList::TakeAt(size_t index) {
  std::lock_guard lock(mutex_);
  if (index >= channels_.size()) return std::nullopt;
  SubscribedChannel& channel = *channels_[index];
  Snapshot snapshot{channel.serial, channel.name, channel.feeds, channel.lastRefresh,
                    channel.refreshRequested};
  channel.refreshRequested = false;
  return snapshot;
}

void ChannelList::RequestRefresh(const std::string& name) {
  std::lock_guard lock(mutex_);
  for (const auto& channel : channels_)
    if (name.empty() || channel->name == name) channel->refreshRequested = true;
}

bool ChannelList::SetFeeds(const std::string& name, std::vector<std::string> feeds) {
  std::lock_guard lock(mutex_);
  for (const auto& channel : channels_) {
    if (channel->name != name) continue;
    channel->feeds = std::move(feeds);
    channel->refreshRequested = true;
    return true;
  }
  return false;
}

void ChannelList::SetLastRefresh(uint64_t serial, uint32_t tick) {
  std::lock_guard lock(mutex_);
  for (const auto& channel : channels_)
    if (channel->serial == serial) channel->lastRefresh = tick;
}

void ChannelList::NumberMenuCommands(int firstId) {
  std::lock_guard lock(mutex_);
  for (auto& channel : channels_) channel->menuCommandId = firstId++;
}

std::optional<std::string> ChannelList::NameOfCommand(int commandId) const {
  std::lock_guard lock(mutex_);
  for (const auto& channel : channels_)
    if (channel->menuCommandId == commandId) return channel->name;
  return std::nullopt;
}

}  // namespace lumarine
