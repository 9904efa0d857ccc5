// The recommendation worker tells the bar about the new rows of its first list only.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "feeds/channel_bar_link.h"
#include "feeds/recommend_worker.h"
#include "platform/settings.h"
#include "store/news_database_file.h"
#include "support/fast_timing.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

struct StoredRecorder : ChannelBarLink {
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

TEST(RecommendAnnounceTest, OnlyTheFirstListsNewRowsAreAnnouncedWithAtMostThreeTitles) {
  test::ScopedProgramDirectory program;
  std::string error;
  ASSERT_EQ(CreateNewsDatabase(program.Path() + "/news.mdb",
                               test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
            CreateDatabaseResult::kCreated);
  test::LoopbackServer server;
  server.Server().Get(R"(/channel/recommend(\d)\.asp)",
                      [](const httplib::Request& req, httplib::Response& res) {
                        std::string xml = "<rss version=\"2.0\"><channel><title>r</title>";
                        for (int i = 0; i < 5; ++i)
                          xml += "<item><title>" + req.matches[1].str() + std::to_string(i) +
                                 "</title><link>http://e/" + req.matches[1].str() +
                                 std::to_string(i) + "</link></item>";
                        res.set_content(xml + "</channel></rss>", "text/xml");
                      });
  server.Start();
  Settings::Write("setting", "homeserver", server.Url(""));

  // The second run finds only stored rows: nothing to announce.
  for (const size_t run : {1u, 2u}) {
    StoredRecorder bar;
    RecommendWorker worker(test::FastTiming(), &bar);
    worker.Start();
    for (int i = 0; i < 1000 && server.Requests().size() < 2 * run; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    worker.Stop();
    const decltype(bar.stored) expected{{5, {"30", "31", "32"}}};
    EXPECT_EQ(bar.stored, run == 1 ? expected : decltype(bar.stored){}) << "run " << run;
  }
}

}  // namespace
}  // namespace lumarine
