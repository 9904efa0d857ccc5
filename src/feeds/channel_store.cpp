#include "feeds/channel_store.h"

#include <optional>

#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace lumarine {
namespace {

// Buffer capacities of the profile reads; they bound the bytes that survive a read.
constexpr size_t kNameCapacity = 260;
constexpr size_t kLongNameCapacity = 500;
constexpr size_t kFeedCapacity = 1024;
constexpr size_t kCatalogueFeedCapacity = 500;
constexpr size_t kListedFeedCapacity = 260;
constexpr size_t kCountCapacity = 10;
constexpr const char* kDefaultChannelName = "热点信息";

std::string Numbered(const char* prefix, int number) { return prefix + std::to_string(number); }

ProfileFile Catalogue() { return ProfileFile(ChannelStore::CatalogueFilePath()); }
ProfileFile UserFile() { return ProfileFile(ChannelStore::UserFilePath()); }

// Every operation reads each file once and answers all its keys from that one reading.
using Snapshot = ProfileFile::Snapshot;

// Appends the enabled feeds of a channel's section.
void AppendEnabledFeeds(const Snapshot& file, const std::string& name,
                        std::vector<std::string>& feeds) {
  const int count = file.GetCount(name, "feedcnt");
  for (int j = 1; j <= count; ++j)
    if (file.GetInt(name, Numbered("feedstate", j), 0) == 0)
      feeds.push_back(file.GetString(name, Numbered("feed", j), "", kFeedCapacity));
}

void AppendListedFeeds(const Snapshot& file, const std::string& name,
                       ChannelStore::FeedOrigin origin,
                       std::vector<ChannelStore::ChannelFeed>& feeds) {
  const int count = file.GetCount(name, "feedcnt");
  for (int j = 1; j <= count; ++j)
    feeds.push_back({file.GetString(name, Numbered("feed", j), "", kListedFeedCapacity),
                     file.GetInt(name, Numbered("feedstate", j), 0) == 0, origin});
}

// Writes the state of every matching feed of the section in one replacement. Nothing when
// the file could not be read or written; otherwise whether a feed matched.
std::optional<bool> WriteFeedStates(const ProfileFile& file, const std::string& name,
                                    const std::string& address, const char* value) {
  bool matched = false;
  const bool written = file.Update([&](const Snapshot& contents) {
    std::vector<ProfileFile::Entry> entries;
    const int count = contents.GetCount(name, "feedcnt");
    for (int j = 1; j <= count; ++j)
      if (EqualsNoCase(contents.GetString(name, Numbered("feed", j), "", kListedFeedCapacity),
                       address))
        entries.push_back({name, Numbered("feedstate", j), value});
    matched = !entries.empty();
    return entries;
  });
  if (!written) return std::nullopt;
  return matched;
}

}  // namespace

std::string ChannelStore::CatalogueFilePath() { return ProfileFilePath("/profile/qixchannel.ini"); }

std::string ChannelStore::UserFilePath() { return ProfileFilePath("/profile/userchannel.ini"); }

std::vector<std::unique_ptr<SubscribedChannel>> ChannelStore::LoadSubscribedChannels() {
  std::vector<std::unique_ptr<SubscribedChannel>> channels;
  const Snapshot user = UserFile().Read();
  const Snapshot catalogue = Catalogue().Read();
  const int count = user.GetCount("userchannel", "channelcnt");
  for (int i = 1; i <= count; ++i) {
    const std::string name =
        user.GetString("userchannel", Numbered("channel", i), "", kNameCapacity);
    if (user.GetInt(name, "substate", 0) == 0) continue;
    auto channel = std::make_unique<SubscribedChannel>();
    channel->name = name;
    AppendEnabledFeeds(user, name, channel->feeds);
    AppendEnabledFeeds(catalogue, name, channel->feeds);
    channels.push_back(std::move(channel));
  }
  return channels;
}

std::unique_ptr<SubscribedChannel> ChannelStore::LoadCatalogueFeeds(const std::string& name) {
  const Snapshot catalogue = Catalogue().Read();
  const int count =
      ClampProfileCount(ParseProfileInt(catalogue.GetString(name, "feedcnt", "0", kCountCapacity)));
  auto channel = std::make_unique<SubscribedChannel>();
  channel->name = name;
  for (int j = 1; j <= count; ++j)
    channel->feeds.push_back(
        catalogue.GetString(name, Numbered("feed", j), "", kCatalogueFeedCapacity));
  if (channel->feeds.empty()) return nullptr;
  return channel;
}

std::unique_ptr<SubscribedChannel> ChannelStore::LoadSubscribingChannel(const std::string& name) {
  std::unique_ptr<SubscribedChannel> catalogue = LoadCatalogueFeeds(name);
  auto channel = std::make_unique<SubscribedChannel>();
  channel->name = name;
  AppendEnabledFeeds(UserFile().Read(), name, channel->feeds);
  if (catalogue)
    channel->feeds.insert(channel->feeds.end(), catalogue->feeds.begin(), catalogue->feeds.end());
  if (channel->feeds.empty()) return nullptr;
  return channel;
}

std::vector<std::string> ChannelStore::LoadEnabledFeeds(const std::string& name) {
  std::vector<std::string> feeds;
  AppendEnabledFeeds(UserFile().Read(), name, feeds);
  AppendEnabledFeeds(Catalogue().Read(), name, feeds);
  return feeds;
}

std::vector<ChannelStore::CatalogueChannel> ChannelStore::ListCatalogueChannels() {
  std::vector<CatalogueChannel> channels;
  const Snapshot catalogue = Catalogue().Read();
  const Snapshot user = UserFile().Read();
  const int count = catalogue.GetCount("channel", "channelcnt");
  for (int i = 1; i <= count; ++i) {
    std::string name =
        catalogue.GetString("channel", Numbered("channel", i), kDefaultChannelName, kNameCapacity);
    const bool subscribed = user.GetInt(name, "substate", 0) != 0;
    channels.push_back({std::move(name), subscribed});
  }
  return channels;
}

bool ChannelStore::SubscribeChannel(const std::string& name) {
  bool full = false;
  const bool written = UserFile().Update([&](const Snapshot& contents) {
    std::vector<ProfileFile::Entry> entries;
    const int count = ClampProfileCount(
        ParseProfileInt(contents.GetString("userchannel", "channelcnt", "", kCountCapacity)));
    bool listed = false;
    for (int i = 1; i <= count && !listed; ++i)
      listed = EqualsNoCase(
          contents.GetString("userchannel", Numbered("channel", i), "", kLongNameCapacity), name);
    if (!listed) {
      // Readers stop at the cap, so an entry beyond it would be subscribed yet never shown.
      full = count >= ProfileFile::kMaxCount;
      if (full) return entries;
      entries.push_back({"userchannel", "channelcnt", std::to_string(count + 1)});
      entries.push_back({"userchannel", Numbered("channel", count + 1), name});
    }
    entries.push_back({name, "substate", "1"});
    return entries;
  });
  return written && !full;
}

bool ChannelStore::UnsubscribeChannel(const std::string& name) {
  return UserFile().WriteString(name, "substate", "0");
}

std::vector<ChannelStore::ChannelFeed> ChannelStore::ListChannelFeeds(const std::string& name) {
  std::vector<ChannelFeed> feeds;
  AppendListedFeeds(Catalogue().Read(), name, FeedOrigin::kCatalogue, feeds);
  AppendListedFeeds(UserFile().Read(), name, FeedOrigin::kUser, feeds);
  return feeds;
}

bool ChannelStore::SetFeedState(const std::string& name, const std::string& address, bool enabled) {
  const char* value = enabled ? "0" : "1";
  // A catalogue that could not be read may hold the feed: the user file is not tried then.
  const auto inCatalogue = WriteFeedStates(Catalogue(), name, address, value);
  if (!inCatalogue) return false;
  if (*inCatalogue) return true;
  return WriteFeedStates(UserFile(), name, address, value).value_or(false);
}

bool ChannelStore::AddUserFeed(const std::string& name, const std::string& address) {
  bool full = false;
  const bool written = UserFile().Update([&](const Snapshot& contents) {
    std::vector<ProfileFile::Entry> entries;
    const int count = contents.GetCount(name, "feedcnt");
    full = count >= ProfileFile::kMaxCount;
    if (full) return entries;
    entries.push_back({name, "feedcnt", std::to_string(count + 1)});
    entries.push_back({name, Numbered("feed", count + 1), address});
    return entries;
  });
  return written && !full;
}

bool ChannelStore::RemoveUserFeed(const std::string& name, const std::string& address) {
  bool removed = false;
  const bool written = UserFile().Update([&](const Snapshot& contents) {
    std::vector<ProfileFile::Entry> entries;
    const int count = contents.GetCount(name, "feedcnt");
    std::vector<std::pair<std::string, std::string>> kept;
    for (int j = 1; j <= count; ++j) {
      std::string feed = contents.GetString(name, Numbered("feed", j), "", kFeedCapacity);
      if (EqualsNoCase(feed, address)) continue;
      kept.emplace_back(std::move(feed),
                        contents.GetString(name, Numbered("feedstate", j), "0", kCountCapacity));
    }
    removed = static_cast<int>(kept.size()) != count;
    if (!removed) return entries;
    for (int j = 1; j <= count; ++j) {
      const bool filled = j <= static_cast<int>(kept.size());
      // A vacated slot is cleared, so a feed added there later starts switched on.
      entries.push_back({name, Numbered("feed", j), filled ? kept[j - 1].first : ""});
      entries.push_back({name, Numbered("feedstate", j), filled ? kept[j - 1].second : "0"});
    }
    entries.push_back({name, "feedcnt", std::to_string(kept.size())});
    return entries;
  });
  return written && removed;
}

}  // namespace lumarine
