#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "news_database_fixture.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;
using test::NewsDatabaseTest;

// Two threads save feeds (each batch new items plus the previous batch again) while two others
// check, load and mark, all on one file for a few seconds.
TEST_F(NewsDatabaseTest, ConcurrentOperationsNeitherFailNorLoseNorRepeatRows) {
  const std::string channels[2] = {"甲", "乙'"};
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  std::atomic<int> saversRunning{2};
  std::atomic<int> failures{0};
  std::vector<std::string> saved[2];
  std::map<std::string, int> shown[2];

  auto saver = [&](int index) {
    RssFeed previous;
    for (int batch = 0; std::chrono::steady_clock::now() < deadline; ++batch) {
      RssFeed feed;
      feed.feedLink = "http://feeds.example/" + std::to_string(index);
      feed.className = channels[index];
      for (int i = 0; i < 7; ++i) {
        RssItem item;
        item.link = "http://news.example/" + std::to_string(index) + "/" + std::to_string(batch) +
                    "/" + std::to_string(i);
        item.title = "'" + item.link + "'";
        saved[index].push_back(item.link);
        feed.items.push_back(item);
      }
      const size_t fresh = feed.items.size();
      feed.items.insert(feed.items.end(), previous.items.begin(), previous.items.end());
      if (SaveFeedItems(feed).stored != static_cast<int>(fresh)) ++failures;
      feed.items.resize(fresh);
      previous = feed;
    }
    --saversRunning;
  };

  auto reader = [&](int index) {
    for (;;) {
      const bool saversDone = saversRunning == 0;
      if (CheckUnreadItems(index == 0 ? channels[0] : "") != 1) ++failures;
      RssFeed batch;
      LoadUnreadItems(batch, channels[index]);
      for (const RssItem& item : batch.items) {
        ++shown[index][item.link];
        if (item.className != channels[index]) ++failures;
      }
      if (MarkItemsRead(&batch) != 1) ++failures;
      // Only a pass that began after the last save and found nothing proves the end.
      if (saversDone && batch.items.empty()) return;
    }
  };

  {
    std::jthread threads[] = {std::jthread(saver, 0), std::jthread(saver, 1),
                              std::jthread(reader, 0), std::jthread(reader, 1)};
  }

  EXPECT_EQ(failures, 0);
  EXPECT_TRUE(messages_.Calls().empty());
  for (int index = 0; index < 2; ++index) {
    EXPECT_GT(saved[index].size(), 0u);
    EXPECT_EQ(shown[index].size(), saved[index].size()) << "rows lost";
    for (const std::string& link : saved[index]) EXPECT_EQ(shown[index][link], 1) << link;
  }
  EXPECT_TRUE(Rows("select * from FeedItem where readstatus=0").empty());
}

}  // namespace
}  // namespace lumarine
