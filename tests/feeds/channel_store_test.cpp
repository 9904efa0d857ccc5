#include "feeds/channel_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using Origin = ChannelStore::FeedOrigin;

class ChannelStoreTest : public testing::Test {
 protected:
  // Profile files are GB18030 on disk; tests write them from UTF-8.
  void Catalogue(const std::string& text) {
    program_.WriteProfile("qixchannel.ini", Utf8ToGb18030(text));
  }
  void User(const std::string& text) {
    program_.WriteProfile("userchannel.ini", Utf8ToGb18030(text));
  }
  std::string UserFileText() { return Gb18030ToUtf8(program_.ReadProfile("userchannel.ini")); }

  static std::vector<std::string> Names(
      const std::vector<std::unique_ptr<SubscribedChannel>>& channels) {
    std::vector<std::string> names;
    for (const auto& channel : channels) names.push_back(channel->name);
    return names;
  }

  test::ScopedProgramDirectory program_;
};

TEST_F(ChannelStoreTest, MissingFilesReadAsEmpty) {
  EXPECT_TRUE(ChannelStore::LoadSubscribedChannels().empty());
  EXPECT_TRUE(ChannelStore::ListCatalogueChannels().empty());
  EXPECT_TRUE(ChannelStore::ListChannelFeeds("科技").empty());
  EXPECT_EQ(ChannelStore::LoadCatalogueFeeds("科技"), nullptr);
}

TEST_F(ChannelStoreTest, LoadsSubscribedChannelsUserFeedsFirstSkippingDisabledOnes) {
  Catalogue(
      "[科技]\nfeedcnt=3\nfeed1=http://c/1\nfeedstate1=0\nfeed2=http://c/2\nfeedstate2=1\n"
      "feed3=http://c/3\n[体育]\nfeedcnt=1\nfeed1=http://c/s\n");
  User(
      "[userchannel]\nchannelcnt=4\nchannel1=科技\nchannel2=体育\nchannel3=空频道\n"
      "channel4=科技\n[科技]\nsubstate=1\nfeedcnt=2\nfeed1=http://u/1\nfeedstate1=1\n"
      "feed2=http://u/2\n[体育]\nsubstate=0\n[空频道]\nsubstate=1\n");
  const auto channels = ChannelStore::LoadSubscribedChannels();
  // Unsubscribed channels are skipped; a channel without feeds still loads; a name listed
  // twice gives two records.
  EXPECT_EQ(Names(channels), (std::vector<std::string>{"科技", "空频道", "科技"}));
  // The user's feedstate1 disables only the user's feed1, not the catalogue's.
  EXPECT_EQ(channels[0]->feeds,
            (std::vector<std::string>{"http://u/2", "http://c/1", "http://c/3"}));
  EXPECT_TRUE(channels[1]->feeds.empty());
  EXPECT_EQ(channels[0]->lastRefresh, 0u);
}

TEST_F(ChannelStoreTest, SettingSubstateByHandMakesAChannelLoad) {
  User("[userchannel]\nchannelcnt=1\nchannel1=体育\n[体育]\nsubstate=0\n");
  EXPECT_TRUE(ChannelStore::LoadSubscribedChannels().empty());
  User("[userchannel]\nchannelcnt=1\nchannel1=体育\n[体育]\nsubstate=1\n");
  EXPECT_EQ(ChannelStore::LoadSubscribedChannels().size(), 1u);
}

TEST_F(ChannelStoreTest, CatalogueFeedsForARunningSubscriptionIgnoreStatesAndUserFeeds) {
  Catalogue(
      "[科技]\nfeedcnt=2\nfeed1=http://c/1\nfeedstate1=1\nfeed2=http://c/2\n[空]\nfeedcnt=0\n");
  User("[科技]\nfeedcnt=1\nfeed1=http://u/1\n");
  const auto channel = ChannelStore::LoadCatalogueFeeds("科技");
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->name, "科技");
  EXPECT_EQ(channel->feeds, (std::vector<std::string>{"http://c/1", "http://c/2"}));
  EXPECT_EQ(ChannelStore::LoadCatalogueFeeds("空"), nullptr);
}

TEST_F(ChannelStoreTest, ListsCatalogueChannelsWithTheDefaultNameForAMissingKey) {
  Catalogue("[channel]\nchannelcnt=3\nchannel1=科技\nchannel2=体育\n");
  User("[体育]\nsubstate=2\n[科技]\nsubstate=0\n");
  const auto channels = ChannelStore::ListCatalogueChannels();
  ASSERT_EQ(channels.size(), 3u);
  EXPECT_EQ(channels[0].name, "科技");
  EXPECT_FALSE(channels[0].subscribed);
  EXPECT_TRUE(channels[1].subscribed);
  EXPECT_EQ(channels[2].name, "热点信息");
}

TEST_F(ChannelStoreTest, SubscribingANewChannelAppendsItsEntry) {
  ChannelStore::SubscribeChannel("科技");
  EXPECT_EQ(UserFileText(),
            "[userchannel]\r\nchannelcnt=1\r\nchannel1=科技\r\n[科技]\r\nsubstate=1\r\n");
  ChannelStore::SubscribeChannel("Sports");
  ChannelStore::UnsubscribeChannel("Sports");
  const auto channels = ChannelStore::LoadSubscribedChannels();
  EXPECT_EQ(Names(channels), (std::vector<std::string>{"科技"}));
}

TEST_F(ChannelStoreTest, SubscribingAListedChannelInAnyCaseOnlySetsSubstate) {
  User("[userchannel]\nchannelcnt=1\nchannel1=News\n[News]\nsubstate=0\n");
  ChannelStore::SubscribeChannel("NEWS");
  EXPECT_EQ(UserFileText(), "[userchannel]\nchannelcnt=1\nchannel1=News\n[News]\nsubstate=1\n");
}

TEST_F(ChannelStoreTest, ListsCatalogueFeedsThenUserFeeds) {
  Catalogue("[科技]\nfeedcnt=2\nfeed1=http://c/1\nfeedstate1=1\nfeed2=http://c/2\n");
  User("[科技]\nfeedcnt=1\nfeed1=http://u/1\n");
  const auto feeds = ChannelStore::ListChannelFeeds("科技");
  ASSERT_EQ(feeds.size(), 3u);
  EXPECT_EQ(feeds[0].address, "http://c/1");
  EXPECT_FALSE(feeds[0].enabled);
  EXPECT_TRUE(feeds[1].enabled);
  EXPECT_EQ(feeds[2].origin, Origin::kUser);
}

TEST_F(ChannelStoreTest, SetFeedStateChangesEveryCatalogueMatchAndLeavesTheUserFile) {
  Catalogue("[科技]\nfeedcnt=3\nfeed1=http://a/\nfeed2=http://b/\nfeed3=HTTP://A/\n");
  User("[科技]\nfeedcnt=1\nfeed1=http://a/\n");
  ChannelStore::SetFeedState("科技", "http://a/", false);
  const auto feeds = ChannelStore::ListChannelFeeds("科技");
  EXPECT_FALSE(feeds[0].enabled);
  EXPECT_TRUE(feeds[1].enabled);
  EXPECT_FALSE(feeds[2].enabled);
  EXPECT_TRUE(feeds[3].enabled);  // the user's copy is untouched
}

TEST_F(ChannelStoreTest, SetFeedStateFallsBackToTheUserFile) {
  User("[科技]\nfeedcnt=1\nfeed1=http://u/\n");
  ChannelStore::SetFeedState("科技", "http://u/", false);
  EXPECT_FALSE(ChannelStore::ListChannelFeeds("科技")[0].enabled);
  ChannelStore::SetFeedState("科技", "http://u/", true);
  EXPECT_TRUE(ChannelStore::ListChannelFeeds("科技")[0].enabled);
}

TEST_F(ChannelStoreTest, AddedUserFeedIsEnabledAndLoadsAtTheNextStart) {
  User("[userchannel]\nchannelcnt=1\nchannel1=科技\n[科技]\nsubstate=1\n");
  ChannelStore::AddUserFeed("科技", "http://u/new");
  ChannelStore::AddUserFeed("科技", "http://u/newer");
  const auto channels = ChannelStore::LoadSubscribedChannels();
  ASSERT_EQ(channels.size(), 1u);
  EXPECT_EQ(channels[0]->feeds, (std::vector<std::string>{"http://u/new", "http://u/newer"}));
}

TEST_F(ChannelStoreTest, SubscribingTakesUserFeedsAndRemovingOneClosesTheGap) {
  Catalogue("[科技]\nfeedcnt=2\nfeed1=http://c/1\nfeed2=http://c/2\nfeedstate2=1\n");
  User("[科技]\nfeedcnt=3\nfeed1=http://u/1\nfeed2=http://u/2\nfeed3=http://u/3\nfeedstate3=1\n");
  EXPECT_EQ(ChannelStore::LoadSubscribingChannel("科技")->feeds,
            (std::vector<std::string>{"http://u/1", "http://u/2", "http://c/1", "http://c/2"}));
  EXPECT_EQ(ChannelStore::LoadSubscribingChannel("无"), nullptr);
  EXPECT_FALSE(ChannelStore::RemoveUserFeed("科技", "http://c/1"));  // catalogue feeds stay
  ASSERT_TRUE(ChannelStore::RemoveUserFeed("科技", "HTTP://U/2"));
  // u/3 moved up, still switched off; the slot left behind does not switch off a new feed.
  ChannelStore::AddUserFeed("科技", "http://u/4");
  EXPECT_EQ(ChannelStore::LoadEnabledFeeds("科技"),
            (std::vector<std::string>{"http://u/1", "http://u/4", "http://c/1"}));
}

// A catalogue the update check installed with feedcnt=2147483647 hung start-up for hours.
TEST_F(ChannelStoreTest, HugeCountsAreReadAsTheCap) {
  Catalogue(
      "[channel]\nchannelcnt=2147483647\nchannel1=科技\n"
      "[科技]\nfeedcnt=2147483647\nfeed1=http://c/1\n");
  User(
      "[userchannel]\nchannelcnt=99999999999\nchannel1=科技\n[科技]\nsubstate=1\n"
      "feedcnt=2147483647\nfeedstate1=1\n");
  const auto channels = ChannelStore::LoadSubscribedChannels();
  ASSERT_EQ(channels.size(), 1u);
  EXPECT_EQ(channels[0]->feeds.size(), size_t(2 * ProfileFile::kMaxCount - 1));
  EXPECT_EQ(ChannelStore::LoadCatalogueFeeds("科技")->feeds.size(), size_t(ProfileFile::kMaxCount));
  EXPECT_EQ(ChannelStore::ListCatalogueChannels().size(), size_t(ProfileFile::kMaxCount));
  EXPECT_EQ(ChannelStore::ListChannelFeeds("科技").size(), size_t(2 * ProfileFile::kMaxCount));
}

// A channel name holding "]" added a new section to the user's file at every subscription.
TEST_F(ChannelStoreTest, ResubscribingAChannelNamedWithABracketKeepsOneSection) {
  for (int i = 0; i < 3; ++i) {
    ChannelStore::SubscribeChannel("[新] 闻]");
    ChannelStore::UnsubscribeChannel("[新] 闻]");
  }
  ChannelStore::SubscribeChannel("[新] 闻]");
  EXPECT_EQ(UserFileText(),
            "[userchannel]\r\nchannelcnt=1\r\nchannel1=[新] 闻]\r\n[[新] 闻]]\r\nsubstate=1\r\n");
  EXPECT_EQ(Names(ChannelStore::LoadSubscribedChannels()), (std::vector<std::string>{"[新] 闻]"}));
}

// A subscription file there but unreadable (here a directory in its place) listed nothing,
// and the next write put one channel in place of all the others.
TEST_F(ChannelStoreTest, NoWriteGoesThroughAFileThatCannotBeRead) {
  ASSERT_EQ(mkdir(program_.Profile("userchannel.ini").c_str(), 0755), 0);
  Catalogue("[channel]\nchannelcnt=1\nchannel1=A\n[A]\nfeedcnt=1\nfeed1=http://a.test/1\n");
  EXPECT_TRUE(ChannelStore::LoadSubscribedChannels().empty());
  EXPECT_FALSE(ChannelStore::SubscribeChannel("A"));
  EXPECT_FALSE(ChannelStore::UnsubscribeChannel("A"));
  EXPECT_FALSE(ChannelStore::AddUserFeed("A", "http://a.test/2"));
  EXPECT_FALSE(ChannelStore::SetFeedState("A", "http://a.test/9", false));
  // A catalogue that cannot be read may hold the feed: the user file is not written either.
  rmdir(program_.Profile("userchannel.ini").c_str());
  User("[A]\nfeedcnt=1\nfeed1=http://a.test/1\n");
  std::filesystem::remove(program_.Profile("qixchannel.ini"));
  ASSERT_EQ(mkdir(program_.Profile("qixchannel.ini").c_str(), 0755), 0);
  EXPECT_FALSE(ChannelStore::SetFeedState("A", "http://a.test/1", false));
  EXPECT_EQ(UserFileText(), "[A]\nfeedcnt=1\nfeed1=http://a.test/1\n");
}

TEST_F(ChannelStoreTest, NothingIsAddedBeyondTheCountReadersTake) {
  const std::string cap = std::to_string(ProfileFile::kMaxCount);
  User("[userchannel]\nchannelcnt=" + cap + "\n[A]\nfeedcnt=" + cap + "\n");
  EXPECT_FALSE(ChannelStore::SubscribeChannel("B"));
  EXPECT_FALSE(ChannelStore::AddUserFeed("A", "http://a.test/2"));
  EXPECT_EQ(UserFileText(), "[userchannel]\nchannelcnt=" + cap + "\n[A]\nfeedcnt=" + cap + "\n");
}

}  // namespace
}  // namespace lumarine
