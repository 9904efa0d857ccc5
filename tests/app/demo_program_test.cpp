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
  std::string tree, error;
  {
    DemoProgram demo;
    ASSERT_TRUE(demo.Create(LUMARINE_SOURCE_DIR "/resources", error)) << error;
    tree = demo.Directory();
    SetExecutableDirectoryOverride(tree);
    const auto channels = ChannelStore::LoadSubscribedChannels();
    ASSERT_EQ(channels.size(), 3u);
    for (const auto& channel : channels)
      EXPECT_TRUE(std::filesystem::exists(channel->feeds.at(0))) << channel->name;
    // Nothing of the demo reaches a home server.
    EXPECT_EQ(ProfileFile(ProfileFilePath("/profile/sysopt.ini"))
                  .GetString("setting", "homeserver", "unset", 100),
              "");
    EXPECT_EQ(NewsConnection().Open(tree + "/news.mdb"), NewsConnection::OpenResult::kOpened);
    SetExecutableDirectoryOverride("");
  }
  EXPECT_FALSE(std::filesystem::exists(tree));
  EXPECT_FALSE(DemoProgram().Create("/nonexistent/share", error));
  EXPECT_NE(error.find("/nonexistent/share/demo"), std::string::npos) << error;
}

}  // namespace
}  // namespace lumarine
