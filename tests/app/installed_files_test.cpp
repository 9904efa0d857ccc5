#include "app/installed_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/news_connection.h"
#include "store/news_recordset.h"
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

TEST_F(InstalledFilesTest, SeedsWhatIsAbsentAndNeverReplacesTheUsersFiles) {
  dir_.Write("config/lumarine/profile/userchannel.ini", "mine");
  ASSERT_TRUE(Prepare(Installed())) << error_;
  EXPECT_EQ(dir_.Read("config/lumarine/profile/qixchannel.ini"), dir_.Read("share/qixchannel.ini"));
  EXPECT_EQ(dir_.Read("config/lumarine/profile/userchannel.ini"), "mine");
  NewsConnection connection;
  ASSERT_EQ(connection.Open(dir_.File("cache/lumarine/news.mdb")),
            NewsConnection::OpenResult::kOpened);
  EXPECT_TRUE(connection.Execute("insert into FeedItem (link) values ('x')"));
  // A later start keeps the database as the run left it.
  ASSERT_TRUE(Prepare(Installed())) << error_;
  auto rows = connection.Query("select count(*) from FeedItem");
  EXPECT_EQ(rows->FieldText(0), "1");
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
