// Speed of the news store on a real news.mdb: saving 1,000 items against a bare prepared
// insert loop in one transaction (the floor) and against one commit per insert, and 100
// batches of the list page's load-and-mark round. Prints the median ratios at the end.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/paths.h"
#include "store/news_database.h"
#include "store/news_database_file.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

constexpr int kItems = 1000;

RssFeed MakeFeed(int count, const std::string& channel) {
  RssFeed feed;
  feed.feedLink = "http://feeds.example/world.xml";
  feed.className = channel;
  for (int i = 0; i < count; ++i) {
    RssItem item;
    item.title = "Headline number " + std::to_string(i) + " about the world's affairs";
    item.link = "http://news.example/2024/world/story-" + std::to_string(i) + ".html";
    item.description = std::string(300, 'd');
    feed.items.push_back(item);
  }
  return feed;
}

void ClearRows() {
  NewsConnection connection;
  connection.Open(NewsDatabasePath());
  connection.Execute("delete from FeedItem");
}

void BM_SaveFeedItems(benchmark::State& state) {
  const RssFeed feed = MakeFeed(kItems, "news");
  for (auto _ : state) {
    state.PauseTiming();
    ClearRows();
    state.ResumeTiming();
    if (SaveFeedItems(feed).stored != kItems) state.SkipWithError("not every item was saved");
  }
}

// The floor: what SQLite itself needs for the same rows with one statement prepared once.
void BM_BarePreparedInsertOneTransaction(benchmark::State& state) {
  const RssFeed feed = MakeFeed(kItems, "news");
  for (auto _ : state) {
    state.PauseTiming();
    ClearRows();
    state.ResumeTiming();
    sqlite3* db = nullptr;
    sqlite3_open_v2(NewsDatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "begin immediate", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into FeedItem (FeedLink, title, link, description, pubdate, "
                       "author, category, subject, readstatus, class) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, 0, ?)",
                       -1, &insert, nullptr);
    for (const RssItem& item : feed.items) {
      const std::string* values[] = {&feed.feedLink,    &item.title,   &item.link,
                                     &item.description, &item.pubDate, &item.author,
                                     &item.category,    &item.subject, &feed.className};
      for (int i = 0; i < 9; ++i)
        sqlite3_bind_text(insert, i + 1, values[i]->c_str(), static_cast<int>(values[i]->size()),
                          SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
}

// Saving as the plain statement-by-statement reading would: every insert its own commit.
void BM_OneCommitPerInsert(benchmark::State& state) {
  const RssFeed feed = MakeFeed(kItems, "news");
  for (auto _ : state) {
    state.PauseTiming();
    ClearRows();
    state.ResumeTiming();
    std::unique_ptr<NewsConnection> connection = OpenNewsDatabase({});
    std::string error;
    for (const RssItem& item : feed.items) {
      ExecuteStatement(*connection,
                       "insert into FeedItem (FeedLink, title, link, description, pubdate, "
                       "author, category, subject,readstatus,class) values('" +
                           QuoteSqlText(feed.feedLink) + "','" + QuoteSqlText(item.title) + "','" +
                           QuoteSqlText(item.link) + "','" + QuoteSqlText(item.description) +
                           "','','','','','0','news')",
                       error);
    }
  }
}

void BM_LoadAndMark100Batches(benchmark::State& state) {
  ClearRows();
  SaveFeedItems(MakeFeed(100 * 18, "news"));
  for (auto _ : state) {
    state.PauseTiming();
    {
      NewsConnection connection;
      connection.Open(NewsDatabasePath());
      connection.Execute("update FeedItem set readstatus = 0");
    }
    state.ResumeTiming();
    for (int batch = 0; batch < 100; ++batch) {
      RssFeed shown;
      LoadUnreadItems(shown, "news");
      if (shown.items.size() != 18) state.SkipWithError("a batch came back short");
      MarkItemsRead(&shown);
    }
  }
}

BENCHMARK(BM_SaveFeedItems)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_BarePreparedInsertOneTransaction)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5);
BENCHMARK(BM_OneCommitPerInsert)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_LoadAndMark100Batches)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// Console output plus the ratios of the medians, so both comparisons come from one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double ours = medians_["BM_SaveFeedItems"];
    const double floor = medians_["BM_BarePreparedInsertOneTransaction"];
    const double perCommit = medians_["BM_OneCommitPerInsert"];
    if (ours > 0 && floor > 0)
      std::printf("SaveFeedItems / bare prepared insert loop: %.2fx (target <= 1.5x)\n",
                  ours / floor);
    if (ours > 0 && perCommit > 0)
      std::printf("one commit per insert / SaveFeedItems: %.1fx (target >= 20x)\n",
                  perCommit / ours);
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace
}  // namespace lumarine

int main(int argc, char** argv) {
  // A program directory of our own with a fresh news.mdb, on the disk of the build tree.
  std::string directory = std::filesystem::current_path().string() + "/news-bench-XXXXXX";
  if (!mkdtemp(directory.data())) return 1;
  lumarine::SetExecutableDirectoryOverride(directory);
  std::ifstream schema(LUMARINE_NEWS_SCHEMA);
  std::stringstream text;
  text << schema.rdbuf();
  std::string error;
  if (lumarine::CreateNewsDatabase(lumarine::NewsDatabasePath(), text.str(), error) !=
      lumarine::CreateDatabaseResult::kCreated) {
    std::fprintf(stderr, "cannot make the database: %s\n", error.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  lumarine::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove_all(directory);
  return 0;
}
