#include "app/installed_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/news_connection.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::TempDir;

// An installed tree's defaults (share/lumarine) and the user's two XDG directories.
class InstalledFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("share/qixchannel.ini", "[channel]\r\nchannelcnt=0\r\n");
    dir_.Write("share/userchannel.ini", "[userchannel]\r\nchannelcnt=0\r\n");
    dir_.Write("share/news.sql", test::ReadFileBytes(LUMARINE_NEWS_SCHEMA));
  }
  ProgramLocations Installed() const {
    return {dir_.File("config/lumarine"), dir_.File("cache/lumarine"), true};
  }
  bool Prepare(const ProgramLocations& locations) {
    error_.clear();
    return InstalledFiles::Prepare(locations, dir_.File("share"), error_);
  }

  TempDir dir_;
  std::string error_;
};

TEST_F(InstalledFilesTest, FirstStartSeedsTheProfileAndMakesTheNewsDatabase) {
  ASSERT_TRUE(Prepare(Installed())) << error_;
  EXPECT_EQ(dir_.Read("config/lumarine/profile/qixchannel.ini"), dir_.Read("share/qixchannel.ini"));
  EXPECT_EQ(dir_.Read("config/lumarine/profile/userchannel.ini"),
            dir_.Read("share/userchannel.ini"));
  NewsConnection connection;
  ASSERT_EQ(connection.Open(dir_.File("cache/lumarine/news.mdb")),
            NewsConnection::OpenResult::kOpened);
  EXPECT_TRUE(connection.Execute("delete from FeedItem"));
}

TEST_F(InstalledFilesTest, NeverReplacesTheUsersFiles) {
  dir_.Write("config/lumarine/profile/userchannel.ini", "mine");
  dir_.Write("cache/lumarine/news.mdb", "a run's items");
  ASSERT_TRUE(Prepare(Installed())) << error_;
  EXPECT_EQ(dir_.Read("config/lumarine/profile/userchannel.ini"), "mine");
  EXPECT_EQ(dir_.Read("cache/lumarine/news.mdb"), "a run's items");
  EXPECT_TRUE(std::filesystem::exists(dir_.File("config/lumarine/profile/qixchannel.ini")));
}

TEST_F(InstalledFilesTest, LeavesAProgramWithItsOwnProfileAlone) {
  ASSERT_TRUE(Prepare({dir_.File("tree"), dir_.File("tree"), false}));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("tree")));
}

TEST_F(InstalledFilesTest, SaysWhatIsMissingOrCannotBeMade) {
  std::filesystem::remove(dir_.File("share/news.sql"));
  EXPECT_FALSE(Prepare(Installed()));
  EXPECT_NE(error_.find("news.sql"), std::string::npos) << error_;
  // The profile was seeded all the same: the bar starts, and the store reports the database.
  EXPECT_TRUE(std::filesystem::exists(dir_.File("config/lumarine/profile/qixchannel.ini")));

  dir_.Write("blocked", "a file where a directory must go");
  EXPECT_FALSE(Prepare({dir_.File("blocked/lumarine"), dir_.File("cache/lumarine"), true}));
  EXPECT_NE(error_.find("blocked"), std::string::npos) << error_;
}

}  // namespace
}  // namespace lumarine
