#include "store/news_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

#include "full_disk_vfs.h"
#include "news_database_fixture.h"

namespace lumarine {
namespace {

using test::NewsDatabaseTest;

RssFeed MakeFeed(const std::string& channel, const std::string& prefix, int count) {
  RssFeed feed;
  feed.feedLink = "http://feeds.example/" + prefix;
  feed.className = channel;
  for (int i = 0; i < count; ++i) {
    RssItem item;
    item.title = prefix + " title " + std::to_string(i);
    item.link = "http://news.example/" + prefix + "/" + std::to_string(i);
    feed.items.push_back(item);
  }
  return feed;
}

std::vector<std::string> Links(const RssFeed& feed) {
  std::vector<std::string> links;
  for (const RssItem& item : feed.items) links.push_back(item.link);
  return links;
}

TEST_F(NewsDatabaseTest, QuotesInEveryTextColumnRoundTrip) {
  RssFeed feed;
  feed.feedLink = "http://f.example/?q='a'";
  feed.className = "O'Brien's";
  RssItem item;
  item.title = "It's 'quoted'";
  item.link = "http://n.example/it's";
  item.description = "<p>'</p>''";
  item.pubDate = "Mon, 1 Jan '24";
  item.author = "d'Arcy";
  item.category = "'";
  item.subject = "a'b";
  feed.items.push_back(item);

  EXPECT_EQ(SaveFeedItems(feed).stored, 1);
  const auto rows = Rows("select * from FeedItem");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{feed.feedLink, item.title, item.link,
                                               item.description, item.pubDate, item.author,
                                               item.category, item.subject, "0", feed.className}));

  EXPECT_EQ(CheckUnreadItems(feed.className), 1);
  RssFeed loaded;
  LoadUnreadItems(loaded, feed.className);
  ASSERT_EQ(loaded.items.size(), 1u);
  EXPECT_EQ(loaded.items[0].title, item.title);
  EXPECT_EQ(loaded.items[0].link, item.link);
  EXPECT_EQ(loaded.items[0].className, feed.className);
  // The loader fills only title, link and channel.
  EXPECT_EQ(loaded.items[0].description, "");
  EXPECT_EQ(loaded.items[0].author, "");
  EXPECT_EQ(MarkItemsRead(&loaded), 1);
  EXPECT_EQ(Rows("select readstatus from FeedItem")[0][0], "1");
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(NewsDatabaseTest, LoadsAtMostEighteenAndMarkingShowsTheRest) {
  ASSERT_EQ(SaveFeedItems(MakeFeed("news", "a", 30)).stored, 30);
  RssFeed first;
  LoadUnreadItems(first, "news");
  ASSERT_EQ(first.items.size(), 18u);
  EXPECT_EQ(MarkItemsRead(&first), 1);
  RssFeed second;
  LoadUnreadItems(second, "news");
  ASSERT_EQ(second.items.size(), 12u);
  for (const std::string& link : Links(second)) {
    const auto shownBefore = Links(first);
    EXPECT_EQ(std::find(shownBefore.begin(), shownBefore.end(), link), shownBefore.end());
  }
  MarkItemsRead(&second);
  RssFeed third;
  LoadUnreadItems(third, "news");
  EXPECT_TRUE(third.items.empty());
  EXPECT_EQ(CheckUnreadItems("news"), 1);  // still 1 with nothing left to show
}

TEST_F(NewsDatabaseTest, ReadItemsComeBackNewestStoredFirstPerChannelAndCapped) {
  ASSERT_EQ(SaveFeedItems(MakeFeed("O'Brien", "a", 3)).stored, 3);
  ASSERT_EQ(SaveFeedItems(MakeFeed("news", "b", 2)).stored, 2);
  RssFeed unread;
  LoadUnreadItems(unread, "");
  unread.items.erase(unread.items.begin() + 1);  // a/1 stays unread: never read again
  ASSERT_EQ(MarkItemsRead(&unread), 1);
  for (const auto& [channel, limit, links] :
       {std::tuple<std::string, size_t, std::vector<std::string>>{
            "O'Brien", 50, {"http://news.example/a/2", "http://news.example/a/0"}},
        {"", 1, {"http://news.example/b/1"}}}) {
    RssFeed read;
    LoadReadItems(read, channel, limit);
    EXPECT_EQ(Links(read), links) << channel;
  }
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(NewsDatabaseTest, EmptyChannelNameMeansAllChannels) {
  SaveFeedItems(MakeFeed("one", "a", 3));
  SaveFeedItems(MakeFeed("推荐", "b", 4));
  RssFeed all;
  LoadUnreadItems(all, "");
  EXPECT_EQ(all.items.size(), 7u);
  RssFeed one;
  LoadUnreadItems(one, "推荐");
  EXPECT_EQ(one.items.size(), 4u);
  EXPECT_EQ(one.items[0].className, "推荐");
}

TEST_F(NewsDatabaseTest, LoadedItemsAppendToTheRecord) {
  SaveFeedItems(MakeFeed("c", "a", 2));
  RssFeed feed = MakeFeed("c", "kept", 1);
  LoadUnreadItems(feed, "c");
  EXPECT_EQ(Links(feed),
            (std::vector<std::string>{"http://news.example/kept/0", "http://news.example/a/0",
                                      "http://news.example/a/1"}));
}

TEST_F(NewsDatabaseTest, SavedAgainIsRefusedAloneAndNotCounted) {
  EXPECT_EQ(SaveFeedItems(MakeFeed("c", "a", 5)).stored, 5);
  RssFeed again = MakeFeed("c", "a", 8);  // 5 known, 3 new
  again.items.push_back(again.items[6]);  // a duplicate within one batch too
  EXPECT_EQ(SaveFeedItems(again).stored, 3);
  EXPECT_EQ(Rows("select * from FeedItem").size(), 8u);
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(NewsDatabaseTest, ItemsWithoutALinkAreEachStoredOnceAndMarkedReadAlone) {
  RssFeed feed = MakeFeed("c", "a", 1);
  for (const char* title : {"no link 1", "no link 2", "no link 3"}) {
    RssItem item;
    item.title = title;
    feed.items.push_back(item);
  }
  EXPECT_EQ(SaveFeedItems(feed).stored, 4);
  EXPECT_EQ(SaveFeedItems(feed).stored, 0) << "saved again: refused, link or not";
  RssFeed other = feed;
  other.className = "d";  // the same link-less titles in another channel are other items
  EXPECT_EQ(SaveFeedItems(other).stored, 3);

  RssFeed shown;
  shown.items = {feed.items[2]};
  shown.items[0].className = "c";
  EXPECT_EQ(MarkItemsRead(&shown), 1);
  RssFeed unread;
  LoadUnreadItems(unread, "c");
  ASSERT_EQ(unread.items.size(), 3u) << "only the row shown became read";
  for (const RssItem& item : unread.items) EXPECT_NE(item.title, "no link 2");
}

TEST_F(NewsDatabaseTest, SavingNothingOpensAndReturnsZero) {
  EXPECT_EQ(SaveFeedItems(MakeFeed("c", "a", 0)).stored, 0);
  EXPECT_EQ(SaveFeedItems(MakeFeed("c", "a", 4), {.saveItems = false, .stop = {}}).stored, 0);
  EXPECT_TRUE(Rows("select * from FeedItem").empty());
}

TEST_F(NewsDatabaseTest, CheckAnswersOneOnAnEmptyTable) {
  EXPECT_EQ(CheckUnreadItems(""), 1);
  EXPECT_EQ(CheckUnreadItems("any"), 1);
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(NewsDatabaseTest, MarkingGoesByLinkWhateverTheChannel) {
  SaveFeedItems(MakeFeed("c", "a", 3));
  EXPECT_EQ(MarkItemsRead(nullptr), 1);
  EXPECT_EQ(Rows("select * from FeedItem where readstatus=1").size(), 0u);
  RssFeed other = MakeFeed("different channel", "a", 2);
  EXPECT_EQ(MarkItemsRead(&other), 1);
  EXPECT_EQ(Rows("select * from FeedItem where readstatus=1").size(), 2u);
}

TEST_F(NewsDatabaseTest, ClearAllItemsEmptiesTheTable) {
  SaveFeedItems(MakeFeed("c", "a", 3));
  SaveFeedItems(MakeFeed("d", "b", 3));
  ClearAllItems();
  EXPECT_TRUE(Rows("select * from FeedItem").empty());
  EXPECT_EQ(SaveFeedItems(MakeFeed("c", "a", 3)).stored, 3);  // and takes the items again
}

// Another process holds the write lock of news.mdb for as long as this lives.
class HeldWriteLock {
 public:
  HeldWriteLock() {
    EXPECT_EQ(connection_.Open(NewsDatabasePath()), NewsConnection::OpenResult::kOpened);
    EXPECT_TRUE(connection_.Execute("begin immediate"));
  }
  ~HeldWriteLock() { connection_.Execute("rollback"); }

 private:
  NewsConnection connection_;
};

TEST_F(NewsDatabaseTest, ALockHeldElsewhereIsWaitedForOnceAndThenGivenUpOnQuietly) {
  using namespace std::chrono_literals;
  const RssFeed feed = MakeFeed("c", "a", 50);
  {
    HeldWriteLock lock;
    const auto start = std::chrono::steady_clock::now();
    const SaveFeedResult saved = SaveFeedItems(feed);
    EXPECT_EQ(saved.stored, 0);
    // One budget for the whole batch, not one per row (that took minutes).
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3 * NewsConnection::kLockWaitBudget);
    EXPECT_TRUE(saved.failed);

    // A worker asked to stop does not wait at all.
    std::stop_source stop;
    stop.request_stop();
    const auto stoppedStart = std::chrono::steady_clock::now();
    EXPECT_EQ(SaveFeedItems(feed, {.stop = stop.get_token()}).stored, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedStart, 1s);
  }
  EXPECT_TRUE(messages_.Calls().empty()) << "a busy file is no failure to tell";
  EXPECT_EQ(SaveFeedItems(feed).stored, 50) << "saved in full once the lock is gone";
}

struct UnwritableCase {
  const char* name;
  void (test::FullDiskVfs::*set)(bool);
  const char* error;
};

TEST(NewsStoreUnwritableTest, AFileThatTakesNoWritesIsToldOnceNotPerFeed) {
  const UnwritableCase cases[] = {
      {"disk full", &test::FullDiskVfs::SetFull,
       "Code = 0000000d\nCode meaning = database or disk is full\nSource = SQLite\n"
       "Description = database or disk is full"},
      {"read only", &test::FullDiskVfs::SetReadOnly,
       "Code = 00000008\nCode meaning = attempt to write a readonly database\nSource = "
       "SQLite\nDescription = attempt to write a readonly database"},
  };
  for (const UnwritableCase& c : cases) {
    test::ScopedProgramDirectory program;
    test::MessageBoxRecorder messages;
    std::string error;
    ASSERT_EQ(
        CreateNewsDatabase(NewsDatabasePath(), test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
        CreateDatabaseResult::kCreated);
    test::FullDiskVfs disk;
    (disk.*c.set)(true);
    for (int f = 0; f < 3; ++f) {
      const SaveFeedResult saved = SaveFeedItems(MakeFeed("c", "f" + std::to_string(f), 5));
      EXPECT_EQ(saved.stored, 0);
      EXPECT_TRUE(saved.failed) << c.name;
    }
    ASSERT_EQ(messages.Calls().size(), 1u) << c.name;
    EXPECT_EQ(messages.Calls()[0].text, std::string("Can not open connection:\n") + c.error);

    // Writable again: saving works, and a later failure is news again.
    (disk.*c.set)(false);
    EXPECT_EQ(SaveFeedItems(MakeFeed("c", "later", 5)).stored, 5) << c.name;
    (disk.*c.set)(true);
    EXPECT_EQ(SaveFeedItems(MakeFeed("c", "last", 5)).stored, 0) << c.name;
    EXPECT_EQ(messages.Calls().size(), 2u) << c.name;
  }
}

// Every operation on a program directory without news.mdb.
struct MissingFileCase {
  const char* name;
  std::function<int()> run;  // the operation's result (-1 for those without one)
  int expected;
};

TEST(NewsStoreWithoutFileTest, EachOperationShowsTheOpenFailureAndFails) {
  const RssFeed feed = MakeFeed("c", "a", 2);
  const MissingFileCase cases[] = {
      {"save", [&] { return SaveFeedItems(feed).stored; }, 0},
      {"check", [] { return CheckUnreadItems("c"); }, 0},
      {"load",
       [] {
         RssFeed loaded;
         LoadUnreadItems(loaded, "");
         return static_cast<int>(loaded.items.size());
       },
       0},
      {"mark", [&] { return MarkItemsRead(&feed); }, 0},
      {"clear", [] { return ClearAllItems(), -1; }, -1},
  };
  for (const MissingFileCase& c : cases) {
    test::ScopedProgramDirectory program;
    test::MessageBoxRecorder messages;
    EXPECT_EQ(c.run(), c.expected) << c.name;
    ASSERT_EQ(messages.Calls().size(), 1u) << c.name;
    EXPECT_EQ(messages.Calls()[0].text,
              "Can not open connection:\nCode = 0000000e\nCode meaning = unable to open "
              "database file\nSource = SQLite\nDescription = unable to open database file")
        << c.name;
    EXPECT_FALSE(std::filesystem::exists(program.Path() + "/news.mdb")) << c.name;
  }
}

// A file whose item table is gone: the statements fail after a good open.
class BrokenTableTest : public NewsDatabaseTest {
 protected:
  void SetUp() override {
    NewsDatabaseTest::SetUp();
    Run("drop table FeedItem");
  }
  static std::string NoSuchTable() {
    return "Code = 00000001\nCode meaning = SQL logic error\nSource = SQLite\n"
           "Description = no such table: FeedItem";
  }
};

TEST_F(BrokenTableTest, FailedStatementsAreReportedAsEachOperationSays) {
  EXPECT_EQ(SaveFeedItems(MakeFeed("c", "a", 2)).stored, 0);
  EXPECT_EQ(MarkItemsRead(nullptr), 1);
  RssFeed withItems = MakeFeed("c", "a", 2);
  EXPECT_EQ(MarkItemsRead(&withItems), 1);
  ClearAllItems();
  EXPECT_TRUE(messages_.Calls().empty());  // all silent so far

  EXPECT_EQ(CheckUnreadItems("c"), 0);
  RssFeed loaded;
  LoadUnreadItems(loaded, "");
  const auto calls = messages_.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].text, "数据库链接失败:\n" + NoSuchTable());
  EXPECT_EQ(calls[1].text, NoSuchTable());
  EXPECT_TRUE(loaded.items.empty());
}

}  // namespace
}  // namespace lumarine
