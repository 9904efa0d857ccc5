#include "store/news_counter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "news_database_fixture.h"

namespace lumarine {
namespace {

using NewsCounterTest = test::NewsDatabaseTest;

TEST_F(NewsCounterTest, CountsRowsAfterTheMarkForTheShownChannelReadOrNot) {
  const auto store = [](const std::string& link, const std::string& channel, int readStatus) {
    Run("insert into FeedItem (link, readstatus, class) values ('" + link + "', " +
        std::to_string(readStatus) + ", '" + QuoteSqlText(channel) + "')");
  };
  EXPECT_EQ(NewsCounter::LastRowId(), 0);
  store("a", "科技", 0);
  const long long mark = NewsCounter::LastRowId().value_or(-1);
  store("b", "科技", 1);  // taken and marked read by the hidden list: still not seen
  store("c", "体育", 0);
  store("d", "it's", 0);
  EXPECT_EQ(NewsCounter::CountAfter(mark, ""), 3);
  EXPECT_EQ(NewsCounter::CountAfter(mark, "科技"), 1);
  EXPECT_EQ(NewsCounter::CountAfter(mark, "it's"), 1);
  EXPECT_EQ(NewsCounter::CountAfter(mark, "' or '1'='1"), 0);
  EXPECT_EQ(NewsCounter::CountAfter(*NewsCounter::LastRowId(), ""), 0);

  // No database: nothing to count, and no message for it.
  std::filesystem::remove(NewsDatabasePath());
  EXPECT_FALSE(NewsCounter::LastRowId());
  EXPECT_FALSE(NewsCounter::CountAfter(0, ""));
  EXPECT_TRUE(messages_.Calls().empty());
}

}  // namespace
}  // namespace lumarine
