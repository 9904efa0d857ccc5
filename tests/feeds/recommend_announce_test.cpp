// The recommendation worker tells the bar about the rows of its first list.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "app/settings.h"
#include "feeds/channel_bar_link.h"
#include "feeds/recommend_worker.h"
#include "feeds/refresh_events.h"
#include "store/news_database_file.h"
#include "support/fast_timing.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;

class StoredRecorder : public ChannelBarLink {
 public:
  void PostUnreadReady(std::string) override {}
  bool SendNewsRow(const RssItem&, std::stop_token) override { return true; }
  bool IsAlive() const override { return true; }
  void PostNewsStored(int count, std::vector<std::string> titles) override {
    std::lock_guard lock(mutex);
    stored.emplace_back(count, std::move(titles));
  }
  std::mutex mutex;
  std::vector<std::pair<int, std::vector<std::string>>> stored;
};

std::string ListXml(const std::string& prefix, int items) {
  std::string xml = "<rss version=\"2.0\"><channel><title>r</title>";
  for (int i = 0; i < items; ++i)
    xml += "<item><title>" + prefix + std::to_string(i) + "</title><link>http://e/" + prefix +
           std::to_string(i) + "</link></item>";
  return xml + "</channel></rss>";
}

TEST(RecommendAnnounceTest, FirstListWithNewRowsIsAnnouncedOnceWithAtMostThreeTitles) {
  ListRefreshEvent().Reset();
  test::ScopedProgramDirectory program;
  std::string error;
  ASSERT_EQ(CreateNewsDatabase(program.Path() + "/news.mdb",
                               test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
            CreateDatabaseResult::kCreated);
  test::LoopbackServer server;
  server.Server().Get("/channel/recommend3.asp",
                      [](const httplib::Request&, httplib::Response& res) {
                        res.set_content(ListXml("a", 5), "text/xml");
                      });
  server.Server().Get("/channel/recommend1.asp",
                      [](const httplib::Request&, httplib::Response& res) {
                        res.set_content(ListXml("b", 2), "text/xml");
                      });
  server.Start();
  Settings::Write("setting", "homeserver", server.Url(""));

  for (const int run : {1, 2}) {
    StoredRecorder bar;
    RecommendWorker worker(test::FastTiming(), &bar);
    worker.Start();
    for (int i = 0; i < 1000 && server.Requests().size() < size_t(2 * run); ++i)
      std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(50ms);
    worker.Stop();
    std::lock_guard lock(bar.mutex);
    if (run == 1) {
      ASSERT_EQ(bar.stored.size(), 1u);  // the second list is stored but not announced
      EXPECT_EQ(bar.stored[0].first, 5);
      EXPECT_EQ(bar.stored[0].second, (std::vector<std::string>{"a0", "a1", "a2"}));
    } else {
      EXPECT_TRUE(bar.stored.empty());  // rows already stored are not news
    }
  }
}

}  // namespace
}  // namespace lumarine
