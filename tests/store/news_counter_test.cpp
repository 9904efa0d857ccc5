#include "store/news_counter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "news_database_fixture.h"

namespace lumarine {
namespace {

class NewsCounterTest : public test::NewsDatabaseTest {
 protected:
  static void Store(const std::string& link, const std::string& channel, int readStatus) {
    Run("insert into FeedItem (link, title, readstatus, class) values ('" + link + "', 't', " +
        std::to_string(readStatus) + ", '" + QuoteSqlText(channel) + "')");
  }
};

TEST_F(NewsCounterTest, CountsRowsAfterTheMarkForTheShownChannelReadOrNot) {
  EXPECT_EQ(NewsCounter::LastRowId(), 0);
  Store("a", "科技", 0);
  const std::optional<long long> mark = NewsCounter::LastRowId();
  ASSERT_TRUE(mark);
  Store("b", "科技", 1);  // taken by the hidden list: still not seen
  Store("c", "体育", 0);
  Store("d", "it's", 0);
  EXPECT_EQ(NewsCounter::CountAfter(*mark, ""), 3);
  EXPECT_EQ(NewsCounter::CountAfter(*mark, "科技"), 1);
  EXPECT_EQ(NewsCounter::CountAfter(*mark, "it's"), 1);
  EXPECT_EQ(NewsCounter::CountAfter(*mark, "' or '1'='1"), 0);
  EXPECT_EQ(NewsCounter::CountAfter(0, ""), 4);
  EXPECT_EQ(NewsCounter::CountAfter(*NewsCounter::LastRowId(), ""), 0);
}

TEST_F(NewsCounterTest, MissingDatabaseGivesNothingAndShowsNoMessage) {
  std::filesystem::remove(NewsDatabasePath());
  EXPECT_FALSE(NewsCounter::LastRowId());
  EXPECT_FALSE(NewsCounter::CountAfter(0, ""));
  EXPECT_TRUE(messages_.Calls().empty());
}

}  // namespace
}  // namespace lumarine
