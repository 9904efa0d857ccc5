#include "app/demo_program.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "feeds/channel_store.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "store/news_connection.h"

namespace lumarine {
namespace {

TEST(DemoProgramTest, SubscribesTheSampleFeedsOnATreeThatGoesAwayAfterwards) {
  std::string tree;
  {
    DemoProgram demo;
    std::string error;
    ASSERT_TRUE(demo.Create(LUMARINE_SOURCE_DIR "/resources", error)) << error;
    tree = demo.Directory();
    SetExecutableDirectoryOverride(tree);
    const auto channels = ChannelStore::LoadSubscribedChannels();
    ASSERT_EQ(channels.size(), 3u);
    EXPECT_EQ(channels[0]->name, "本地");
    for (const auto& channel : channels) {
      ASSERT_EQ(channel->feeds.size(), 1u) << channel->name;
      EXPECT_TRUE(std::filesystem::exists(channel->feeds[0])) << channel->feeds[0];
    }
    // Nothing of the demo reaches a home server.
    EXPECT_EQ(ProfileFile(ProfileFilePath("/profile/sysopt.ini"))
                  .GetString("setting", "homeserver", "unset", 100),
              "");
    NewsConnection connection;
    EXPECT_EQ(connection.Open(tree + "/news.mdb"), NewsConnection::OpenResult::kOpened);
    SetExecutableDirectoryOverride("");
  }
  EXPECT_FALSE(std::filesystem::exists(tree));
}

TEST(DemoProgramTest, SaysWhereTheSampleFeedsAreMissing) {
  DemoProgram demo;
  std::string error;
  EXPECT_FALSE(demo.Create("/nonexistent/share/lumarine", error));
  EXPECT_NE(error.find("/nonexistent/share/lumarine/demo"), std::string::npos) << error;
  EXPECT_TRUE(demo.Directory().empty());
}

}  // namespace
}  // namespace lumarine
