// The background workers against real loopback feed servers and a real news.mdb.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/feed_health_book.h"
#include "feeds/news_list_loader.h"
#include "feeds/recommend_worker.h"
#include "feeds/refresh_events.h"
#include "feeds/refresh_worker.h"
#include "feeds/rss_feed.h"
#include "feeds/unread_watcher.h"
#include "feeds/worker_timing.h"
#include "platform/settings.h"
#include "store/news_connection.h"
#include "store/news_database_file.h"
#include "store/news_store.h"
#include "support/fast_timing.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;

// Records what the workers hand to the bar. SendNewsRow can be held to model a busy bar.
class BarRecorder : public ChannelBarLink {
 public:
  void PostUnreadReady(std::string channelName) override {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(channelName));
    changed_.notify_all();
  }
  bool SendNewsRow(const RssItem& item, std::stop_token stop) override {
    std::unique_lock lock(mutex_);
    ++sends_;
    changed_.notify_all();
    if (!changed_.wait(lock, stop, [this] { return !hold_; })) return false;
    rows_.push_back(item.title);
    changed_.notify_all();
    return alive_;
  }
  void PostRefreshPassDone() override {
    std::lock_guard lock(mutex_);
    ++passesDone_;
    changed_.notify_all();
  }
  bool IsAlive() const override { return alive_; }

  std::vector<std::string> Posted() {
    std::lock_guard lock(mutex_);
    return posted_;
  }
  std::vector<std::string> Rows() {
    std::lock_guard lock(mutex_);
    return rows_;
  }
  bool WaitForPosts(size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return posted_.size() >= count; });
  }
  bool WaitForSends(size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return sends_ >= count; });
  }
  bool WaitForPassesDone(size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return passesDone_ >= count; });
  }
  bool WaitForRows(size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return rows_.size() >= count; });
  }
  void Hold(bool hold) {
    std::lock_guard lock(mutex_);
    hold_ = hold;
    changed_.notify_all();
  }

  std::atomic<bool> alive_{true};

 private:
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::vector<std::string> posted_;
  std::vector<std::string> rows_;
  size_t sends_ = 0;
  size_t passesDone_ = 0;
  bool hold_ = false;
};

std::string FeedXml(const std::string& prefix, int items) {
  std::string xml = "<rss version=\"2.0\"><channel><title>" + prefix + "</title>";
  for (int i = 0; i < items; ++i)
    xml += "<item><title>" + prefix + " " + std::to_string(i) + "</title><link>http://e/" + prefix +
           "/" + std::to_string(i) + "</link></item>";
  return xml + "</channel></rss>";
}

class WorkersTest : public testing::Test {
 protected:
  void SetUp() override {
    ListRefreshEvent().Reset();
    FeedRefreshEvent().Reset();
    SetShownChannelName("");
    std::string error;
    ASSERT_EQ(CreateNewsDatabase(program_.Path() + "/news.mdb",
                                 test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
              CreateDatabaseResult::kCreated)
        << error;
    server_.Server().Get(R"(/feed/(\w+))", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(FeedXml(req.matches[1], 3), "text/xml");
    });
    server_.Server().Get(R"(/tagged/(\w+))",
                         [](const httplib::Request& req, httplib::Response& res) {
                           res.set_header("ETag", "\"1\"");
                           if (req.get_header_value("If-None-Match") == "\"1\"")
                             res.status = 304;
                           else
                             res.set_content(FeedXml(req.matches[1], 3), "text/xml");
                         });
    server_.Server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<html><body>no feed</body></html>", "text/html");
    });
    server_.Server().Get("/quiet", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(FeedXml("quiet", 0), "text/xml");
    });
    server_.Server().Get("/torn", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<?xml version=\"1.0\"?>\n<!-- the document ends here -->", "text/xml");
    });
    server_.Server().Get("/fail",
                         [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server_.Server().Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock lock(slowMutex_);
      slowRelease_.wait_for(lock, 20s, [this] { return released_; });
      res.set_content(FeedXml("slow", 1), "text/xml");
    });
    server_.Start();
  }
  void TearDown() override { ReleaseSlow(); }
  void ReleaseSlow() {
    {
      std::lock_guard lock(slowMutex_);
      released_ = true;
    }
    slowRelease_.notify_all();
  }

  std::unique_ptr<SubscribedChannel> Channel(const std::string& name,
                                             std::vector<std::string> paths) {
    auto channel = std::make_unique<SubscribedChannel>();
    channel->name = name;
    for (const std::string& path : paths) channel->feeds.push_back(server_.Url(path));
    return channel;
  }

  size_t RequestsFor(const std::string& prefix) {
    size_t count = 0;
    for (const std::string& path : server_.Requests()) count += path.starts_with(prefix);
    return count;
  }

  static bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
      if (condition()) return true;
      std::this_thread::sleep_for(5ms);
    }
    return condition();
  }

  // Saves `count` unread items of a channel straight through the store.
  void StoreItems(const std::string& channel, int count) {
    RssFeed feed = ParseFeedFromMemory(FeedXml(channel, count));
    feed.className = channel;
    feed.feedLink = "http://e/" + channel;
    ASSERT_EQ(SaveFeedItems(feed).stored, count);
  }

  test::ScopedProgramDirectory program_;
  test::LoopbackServer server_;
  test::MessageBoxRecorder messages_;
  BarRecorder bar_;
  std::mutex slowMutex_;
  std::condition_variable slowRelease_;
  bool released_ = false;
};

TEST(ChannelDueTest, FollowsTheSignedTickDistance) {
  struct Case {
    uint32_t last, now;
    bool due;
  };
  for (const Case& c :
       {Case{0, 5, true}, Case{1000, 1000 + 900000, false}, Case{1000, 1000 + 900001, true},
        // The tick wrapped: 0x200 ms apart, not four billion.
        Case{0xFFFFFF00u, 0x100u, false}, Case{0xFFFFFF00u, 0xFFFFFF00u + 900001u, true},
        // A tick behind the last refresh counts by its distance too.
        Case{2000000, 1000, true}, Case{2000, 1000, false}}) {
    EXPECT_EQ(IsChannelDue(c.last, c.now, 900000), c.due) << c.last << " " << c.now;
  }
}

// A pass that finishes after its channel was unsubscribed and subscribed again stamped the
// new record when it took the freed one's address, so the new subscription was not fetched.
TEST(ChannelListTest, ARefreshIsRecordedOnlyOnTheRecordThePassTook) {
  ChannelList channels;
  auto first = std::make_unique<SubscribedChannel>();
  first->name = "科技";
  channels.Add(std::move(first));
  const uint64_t taken = channels.TakeAt(0)->serial;
  ASSERT_TRUE(channels.Remove("科技"));
  auto again = std::make_unique<SubscribedChannel>();
  again->name = "科技";
  channels.Add(std::move(again));
  channels.SetLastRefresh(taken, 77);
  EXPECT_EQ(channels.At(0)->lastRefresh, 0u);
  channels.SetLastRefresh(channels.At(0)->serial, 78);
  EXPECT_EQ(channels.At(0)->lastRefresh, 78u);
}

TEST_F(WorkersTest, FirstPassDownloadsEveryFeedOfEverySubscribedChannel) {
  ChannelList channels;
  std::vector<std::unique_ptr<SubscribedChannel>> list;
  list.push_back(Channel("科技", {"/feed/a", "/feed/b", "/feed/c"}));
  list.push_back(Channel("体育", {"/feed/d", "/feed/e", "/feed/f"}));
  channels.Reset(std::move(list));
  std::atomic<uint32_t> tick{5000};
  RefreshWorker worker(channels, bar_, test::FastTiming(), [&tick] { return tick.load(); });
  worker.Start();
  // A channel counts as refreshed from its first feed on, so wait for the last request too.
  ASSERT_TRUE(Eventually(
      [&] { return channels.At(1)->lastRefresh == 5000 && server_.Requests().size() == 6u; }));
  // The new rows are announced to the unread watcher once the pass ends.
  ASSERT_TRUE(Eventually([] { return ListRefreshEvent().IsSet(); }));
  // Passes run only when woken from here on: the interval between them is fifteen minutes.
  ASSERT_TRUE(bar_.WaitForPassesDone(1));

  // Woken early, nothing is due: no download.
  FeedRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPassesDone(2));
  EXPECT_EQ(server_.Requests().size(), 6u);

  // A subscription made while the worker waits is fetched at once, alone.
  channels.Add(Channel("新的", {"/feed/g"}));
  FeedRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPassesDone(3));
  EXPECT_EQ(RequestsFor("/feed/g"), 1u);
  EXPECT_EQ(server_.Requests().size(), 7u);

  // Fifteen minutes later every channel is due again.
  tick = 5000 + 900001;
  // Woken, the worker finds every channel due.
  ASSERT_TRUE(Eventually([&] {
    FeedRefreshEvent().Set();
    return server_.Requests().size() == 14u;
  }));
  worker.Stop();

  RssFeed loaded;
  LoadUnreadItems(loaded, "体育");
  EXPECT_EQ(loaded.ItemCount(), 9u) << "each item stored once, under its channel";
  EXPECT_TRUE(messages_.Calls().empty());
}

// Refresh and an edited feed list fetch at once, even when asked while a pass is running.
TEST_F(WorkersTest, ARequestedRefreshOrNewFeedListIsFetchedAtOnceEvenDuringAPass) {
  ChannelList channels;
  std::vector<std::unique_ptr<SubscribedChannel>> list;
  list.push_back(Channel("科技", {"/slow"}));
  list.push_back(Channel("体育", {"/feed/b"}));
  channels.Reset(std::move(list));
  RefreshWorker worker(channels, bar_, test::FastTiming(), [] { return 5000u; });
  worker.Start();
  ASSERT_TRUE(Eventually([&] { return RequestsFor("/feed/b") == 1 && RequestsFor("/slow"); }));
  EXPECT_TRUE(channels.SetFeeds("科技", {server_.Url("/feed/h")}));  // while /slow holds
  FeedRefreshEvent().Set();
  ReleaseSlow();
  ASSERT_TRUE(Eventually([&] { return RequestsFor("/feed/h") == 1; }));
  channels.RequestRefresh("");
  FeedRefreshEvent().Set();
  ASSERT_TRUE(Eventually([&] { return RequestsFor("/feed/b") == 2; }));
  worker.Stop();
  EXPECT_EQ(RequestsFor("/feed/h"), 2u);
}

TEST_F(WorkersTest, ChannelWhoseFeedsFailIsStillMarkedRefreshed) {
  ChannelList channels;
  std::vector<std::unique_ptr<SubscribedChannel>> list;
  list.push_back(Channel("坏", {"/fail"}));
  list.push_back(Channel("空", {}));
  channels.Reset(std::move(list));
  RefreshWorker worker(channels, bar_, test::FastTiming(), [] { return 77u; });
  worker.Start();
  ASSERT_TRUE(Eventually([&] { return channels.At(0)->lastRefresh == 77; }));
  ASSERT_TRUE(bar_.WaitForPassesDone(1));
  FeedRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPassesDone(2));
  worker.Stop();
  EXPECT_EQ(RequestsFor("/fail"), 1u);
  EXPECT_FALSE(ListRefreshEvent().IsSet()) << "nothing new, nothing to show";
  EXPECT_EQ(channels.At(1)->lastRefresh, 0u) << "a channel without feeds stays never refreshed";
}

TEST_F(WorkersTest, AFeedThatNeverAnswersHoldsUpNoOtherFeed) {
  ChannelList channels;
  channels.Add(Channel("慢", {"/slow", "/feed/a", "/feed/b"}));
  channels.Add(Channel("快", {"/feed/c"}));
  // A fixed tick: each channel is stamped with the tick it was found due at, and two real
  // ticks may differ by a millisecond.
  RefreshWorker worker(channels, bar_, test::FastTiming(), [] { return 77u; });
  worker.Start();
  // The slow feed answers only when the test ends; the others are stored meanwhile.
  ASSERT_TRUE(Eventually([&] {
    RssFeed loaded;
    LoadUnreadItems(loaded, "");
    return loaded.ItemCount() == 9u;
  }));
  EXPECT_EQ(channels.At(1)->lastRefresh, 77u) << "the fast channel is refreshed meanwhile";
  EXPECT_EQ(channels.At(0)->lastRefresh, 77u);
  worker.Stop();
}

TEST_F(WorkersTest, AnUnchangedFeedAnswers304AndCountsAsRefreshedWithoutStoreWork) {
  ChannelList channels;
  channels.Add(Channel("科技", {"/tagged/a"}));
  std::atomic<uint32_t> tick{5000};
  FeedHealthBook health;
  RefreshWorker worker(
      channels, bar_, test::FastTiming(), [&tick] { return tick.load(); }, &health);
  worker.Start();
  ASSERT_TRUE(Eventually([&] { return channels.At(0)->lastRefresh == 5000; }));
  ClearAllItems();  // a full download would store the items again
  tick = 5000 + 900001;
  ASSERT_TRUE(Eventually([&] {
    FeedRefreshEvent().Set();
    return channels.At(0)->lastRefresh == tick;
  }));
  worker.Stop();
  const auto headers = server_.RequestHeaders();
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_FALSE(headers[0].contains("If-None-Match"));
  EXPECT_EQ(headers[1].find("If-None-Match")->second, "\"1\"");
  RssFeed loaded;
  LoadUnreadItems(loaded, "");
  EXPECT_EQ(loaded.ItemCount(), 0u) << "a 304 stores nothing";
  EXPECT_EQ(FeedHealthText(*health.Of(server_.Url("/tagged/a"))), "正常 (3 条)");
}

TEST_F(WorkersTest, EachFeedsHealthIsKeptForTheRun) {
  ChannelList channels;
  channels.Add(Channel("杂", {"/feed/a", "/fail", "/page", "/quiet", "/torn"}));
  channels.Add(Channel("死", {"/fail"}));
  auto dead = std::make_unique<SubscribedChannel>();
  dead->name = "断";
  dead->feeds = {"http://127.0.0.1:1/feed"};
  channels.Add(std::move(dead));
  FeedHealthBook health;
  RefreshWorker worker(channels, bar_, test::FastTiming(), SystemTickCount, &health);
  worker.Start();
  const std::pair<std::string, std::string> expected[] = {
      {server_.Url("/feed/a"), "正常 (3 条)"}, {server_.Url("/fail"), "HTTP 404"},
      {server_.Url("/page"), "不是RSS/Atom"},  {server_.Url("/quiet"), "没有新闻"},
      {server_.Url("/torn"), "XML无法读取"},   {"http://127.0.0.1:1/feed", "无法连接"}};
  ASSERT_TRUE(Eventually([&] {
    for (const auto& entry : expected)
      if (!health.Of(entry.first)) return false;
    return true;
  }));
  worker.Stop();
  for (const auto& [address, text] : expected) {
    ASSERT_TRUE(health.Of(address)) << address;
    EXPECT_EQ(FeedHealthText(*health.Of(address)), text) << address;
  }
  EXPECT_FALSE(health.AllFailed(channels.At(0)->feeds));
  EXPECT_TRUE(health.AllFailed(channels.At(1)->feeds));
  EXPECT_TRUE(health.AllFailed({server_.Url("/fail"), server_.Url("/never-fetched")}));
  EXPECT_FALSE(health.AllFailed({server_.Url("/never-fetched")}));
  EXPECT_TRUE(messages_.Calls().empty()) << "nothing pops up";
}

TEST_F(WorkersTest, WorkerEndsWhenTheBarIsGone) {
  ChannelList channels;
  channels.Add(Channel("科技", {"/feed/a"}));
  bar_.alive_ = false;
  RefreshWorker worker(channels, bar_, test::FastTiming());
  worker.Start();
  ASSERT_TRUE(Eventually([&] { return worker.HasEnded(); })) << "ends without being stopped";
  worker.Stop();
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(WorkersTest, StopAbortsADownloadInFlightAndAnIdleWaitAtOnce) {
  ChannelList channels;
  channels.Add(Channel("慢", {"/slow"}));
  RefreshWorker downloading(channels, bar_, test::FastTiming());
  downloading.Start();
  ASSERT_TRUE(Eventually([&] { return RequestsFor("/slow") == 1; }));
  UnreadWatcher idle(channels, bar_);  // default 8-minute wait
  idle.Start();
  const auto start = std::chrono::steady_clock::now();
  downloading.Stop();
  idle.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(WorkersTest, StopEndsAPassWaitingForALockHeldElsewhereAtOnce) {
  NewsConnection otherProcess;
  ASSERT_EQ(otherProcess.Open(program_.Path() + "/news.mdb"), NewsConnection::OpenResult::kOpened);
  ASSERT_TRUE(otherProcess.Execute("begin immediate"));
  ChannelList channels;
  channels.Add(Channel("科技", {"/feed/a"}));
  RefreshWorker worker(channels, bar_, test::FastTiming());
  // The recommendation list is stored by a worker of its own, stopped at exit the same way.
  server_.Server().Get("/channel/recommend3.asp",
                       [](const httplib::Request&, httplib::Response& res) {
                         res.set_content(FeedXml("r3", 2), "text/xml");
                       });
  Settings::Write("setting", "homeserver", "http://127.0.0.1:" + std::to_string(server_.Port()));
  RecommendWorker recommend(test::FastTiming());
  worker.Start();
  recommend.Start();
  ASSERT_TRUE(Eventually(
      [&] { return RequestsFor("/feed/a") == 1 && RequestsFor("/channel/recommend3.asp") == 1; }));
  std::this_thread::sleep_for(100ms);  // the saves now wait for the lock
  const auto start = std::chrono::steady_clock::now();
  worker.Stop();  // as at exit: the joins must not sit out the wait
  recommend.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  otherProcess.Execute("rollback");
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(WorkersTest, WatcherPostsTheShownChannelAfterEveryCheckThatRan) {
  ChannelList channels;
  channels.Add(Channel("科技", {}));
  UnreadWatcher watcher(channels, bar_, test::FastTiming());
  watcher.Start();
  ListRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPosts(1));
  // Chosen right after a check posted, maybe before the worker waits again: never lost.
  channels.SetCurrent("科技");
  ListRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPosts(2));
  // Unsubscribing the channel on show falls back to all channels.
  channels.Remove("科技");
  ListRefreshEvent().Set();
  ASSERT_TRUE(bar_.WaitForPosts(3));
  watcher.Stop();
  EXPECT_EQ(bar_.Posted(), (std::vector<std::string>{"", "科技", ""}));
}

TEST_F(WorkersTest, WatcherPostsNothingWithoutADatabase) {
  std::filesystem::remove(program_.Path() + "/news.mdb");
  ChannelList channels;
  UnreadWatcher watcher(channels, bar_, test::FastTiming());
  watcher.Start();
  ListRefreshEvent().Set();
  ASSERT_TRUE(Eventually([&] { return !messages_.Calls().empty(); }));
  watcher.Stop();
  EXPECT_TRUE(bar_.Posted().empty());
  EXPECT_TRUE(messages_.Calls()[0].text.starts_with("Can not open connection:\n"));
}

TEST_F(WorkersTest, ShowingPassesHandEighteenRowsThenTheRest) {
  StoreItems("科技", 30);
  StoreItems("体育", 2);
  SetShownChannelName("科技");
  NewsListLoader loader(bar_, test::FastTiming());
  loader.StartPass();
  ASSERT_TRUE(bar_.WaitForRows(18));
  ASSERT_TRUE(Eventually([&] { return loader.RunningPasses() == 0; }));
  loader.StartPass();
  ASSERT_TRUE(bar_.WaitForRows(30));
  ASSERT_TRUE(Eventually([&] { return loader.RunningPasses() == 0; }));
  loader.StartPass();
  ASSERT_TRUE(Eventually([&] { return loader.RunningPasses() == 0; }));
  const auto rows = bar_.Rows();
  EXPECT_EQ(rows.size(), 30u);
  std::set<std::string> unique(rows.begin(), rows.end());
  EXPECT_EQ(unique.size(), 30u) << "no row shown twice";
  for (const std::string& row : rows) EXPECT_TRUE(row.starts_with("科技")) << row;
}

TEST_F(WorkersTest, OverlappingShowingPassesNeverHandTheSameRows) {
  StoreItems("科技", 30);
  bar_.Hold(true);
  NewsListLoader loader(bar_, test::FastTiming());
  loader.StartPass();
  ASSERT_TRUE(bar_.WaitForSends(1));  // the first pass has its rows and waits on the bar
  loader.StartPass();
  // The second pass has started while the first holds, and waits for the first's rows.
  ASSERT_TRUE(Eventually([&] { return loader.WaitingPasses() == 1; }));
  bar_.Hold(false);
  ASSERT_TRUE(Eventually([&] { return loader.RunningPasses() == 0; }));
  const auto rows = bar_.Rows();
  EXPECT_EQ(rows.size(), 30u);
  EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), rows.size());
}

TEST_F(WorkersTest, RowsTheBarNeverReceivedStayUnread) {
  StoreItems("科技", 5);
  bar_.Hold(true);
  {
    NewsListLoader loader(bar_, test::FastTiming());
    loader.StartPass();
    ASSERT_TRUE(bar_.WaitForSends(1));  // the pass has its rows and waits on the bar
    const auto start = std::chrono::steady_clock::now();
    loader.StopAll();  // must not deadlock on the held bar
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  }
  RssFeed unread;
  LoadUnreadItems(unread, "");
  EXPECT_EQ(unread.ItemCount(), 5u);
}

TEST_F(WorkersTest, RecommendationListsArriveOnceUnderTheirOwnClass) {
  server_.Server().Get("/channel/recommend3.asp",
                       [](const httplib::Request&, httplib::Response& res) {
                         res.set_content(FeedXml("r3", 2), "text/xml");
                       });
  server_.Server().Get("/channel/recommend1.asp",
                       [](const httplib::Request&, httplib::Response& res) {
                         res.set_content(FeedXml("r1", 2), "text/xml");
                       });
  Settings::Write("setting", "homeserver", "http://127.0.0.1:" + std::to_string(server_.Port()));
  RecommendWorker worker(test::FastTiming());
  worker.Start();
  RssFeed loaded;
  ASSERT_TRUE(Eventually([&] {
    loaded = RssFeed();
    LoadUnreadItems(loaded, "推荐");
    return loaded.ItemCount() == 4u;
  }));
  worker.Stop();
  EXPECT_TRUE(ListRefreshEvent().IsSet());
  EXPECT_EQ(RequestsFor("/channel/recommend"), 2u);
  EXPECT_EQ(loaded.Item(0).className, "推荐");
}

TEST_F(WorkersTest, NoHomeServerMeansNoRecommendationRequest) {
  RecommendWorker worker(test::FastTiming());
  worker.Start();
  ASSERT_TRUE(Eventually([&] { return worker.HasEnded(); })) << "ends without being stopped";
  worker.Stop();
  EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
}  // namespace lumarine
