#pragma once

#include <memory>
#include <string>
#include <vector>

#include "feeds/subscribed_channel.h"

namespace lumarine {

// Every read and write of the channel catalogue (profile/qixchannel.ini) and the user's
// subscriptions (profile/userchannel.ini). Missing files read as empty; writes create them.
// A file that exists but cannot be read lists nothing, and no write goes through it: each
// write returns false and leaves both files as they were.
// Names and addresses compare case-insensitively. Stateless: each call reads the files anew.
class ChannelStore {
 public:
  struct CatalogueChannel {
    std::string name;
    bool subscribed = false;
  };
  enum class FeedOrigin { kCatalogue, kUser };
  struct ChannelFeed {
    std::string address;
    bool enabled = true;
    FeedOrigin origin = FeedOrigin::kCatalogue;
  };

  static std::string CatalogueFilePath();
  static std::string UserFilePath();

  // Subscribed channels in the order of their entries; each with the user's enabled feeds,
  // then the catalogue's enabled feeds.
  static std::vector<std::unique_ptr<SubscribedChannel>> LoadSubscribedChannels();
  // All catalogue feeds of a channel whatever their state; null when it has none.
  static std::unique_ptr<SubscribedChannel> LoadCatalogueFeeds(const std::string& name);
  // What a channel subscribed now downloads: the user's enabled feeds, then every catalogue
  // feed; null when it has none.
  static std::unique_ptr<SubscribedChannel> LoadSubscribingChannel(const std::string& name);
  // A subscribed channel's feed list as a start would load it: the user's enabled feeds,
  // then the catalogue's enabled feeds.
  static std::vector<std::string> LoadEnabledFeeds(const std::string& name);
  static std::vector<CatalogueChannel> ListCatalogueChannels();
  static bool SubscribeChannel(const std::string& name);
  static bool UnsubscribeChannel(const std::string& name);
  static std::vector<ChannelFeed> ListChannelFeeds(const std::string& name);
  static bool SetFeedState(const std::string& name, const std::string& address, bool enabled);
  // False, with nothing written, also when the channel already holds the most feeds a
  // reader takes.
  static bool AddUserFeed(const std::string& name, const std::string& address);
  // Removes the user's feeds of that address from the channel, closing the gap; catalogue
  // feeds are never removed. False when the user had no such feed or the file could not be
  // read or written.
  static bool RemoveUserFeed(const std::string& name, const std::string& address);
};

}  // namespace lumarine
