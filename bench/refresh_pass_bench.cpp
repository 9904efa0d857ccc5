// One refresh pass as the refresh worker makes it: download, parse and store every feed of a
// channel, one after another, into a fresh news.mdb. Feeds come from a running feed_farm.
//   refresh_pass_bench --base http://127.0.0.1:PORT [--feeds 100] [--runs 5]
// Prints the median wall time of a pass in milliseconds and the rows stored.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "feeds/rss_feed.h"
#include "platform/paths.h"
#include "store/news_database_file.h"
#include "store/news_store.h"

int main(int argc, char** argv) {
  std::string base;
  int feeds = 100, runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--base") base = argv[i + 1];
    if (flag == "--feeds") feeds = std::atoi(argv[i + 1]);
    if (flag == "--runs") runs = std::atoi(argv[i + 1]);
  }
  if (base.empty()) {
    std::fprintf(stderr, "usage: refresh_pass_bench --base URL [--feeds N] [--runs N]\n");
    return 2;
  }
  const std::filesystem::path program =
      std::filesystem::temp_directory_path() / ("lumarine-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(program / "profile");
  lumarine::SetExecutableDirectoryOverride(program.string());
  std::stringstream schema;
  schema << std::ifstream(LUMARINE_NEWS_SCHEMA).rdbuf();
  std::string error;
  if (lumarine::CreateNewsDatabase((program / "news.mdb").string(), schema.str(), error) !=
      lumarine::CreateDatabaseResult::kCreated) {
    std::fprintf(stderr, "cannot create news.mdb: %s\n", error.c_str());
    return 1;
  }
  std::vector<double> times;
  int stored = 0;
  for (int run = 0; run < runs; ++run) {
    lumarine::ClearAllItems();
    stored = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < feeds; ++f) {
      const std::string address = base + "/feed/" + std::to_string(f);
      lumarine::RssFeed feed = lumarine::ParseFeed(address, false, false);
      feed.feedLink = address;
      feed.className = "bench";
      stored += lumarine::SaveFeedItems(feed, true);
    }
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  std::printf("refresh pass: %d feeds, %d rows stored, median %.1f ms over %d runs\n", feeds,
              stored, times[times.size() / 2], runs);
  std::filesystem::remove_all(program);
  return stored > 0 ? 0 : 1;
}
