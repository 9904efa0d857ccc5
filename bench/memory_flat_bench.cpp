// Memory over a long run: the real refresh worker, unread watcher and showing passes, as the
// channel bar runs them, against a loopback site of 100 feeds that publishes new items at
// every download. The workers' intervals are shortened through WorkerTiming, so that the
// refresh passes of 8 hours (one per 15 minutes: 32) run back to back; the showing passes run
// alongside. Proportional memory (PSS) of the process is sampled after each refresh pass.
//   memory_flat_bench [--feeds 100] [--passes 32] [--items 20] [--fresh 5]
// Prints PSS after the first pass, the largest and the last, and the largest change against
// the first; exits 1 when that change is over 10 %.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/news_list_loader.h"
#include "feeds/refresh_events.h"
#include "feeds/refresh_worker.h"
#include "feeds/subscribed_channel.h"
#include "feeds/unread_watcher.h"
#include "platform/paths.h"
#include "store/news_database_file.h"
#include "store/news_store.h"
#include "support/loopback_server.h"

namespace {

using namespace std::chrono_literals;

long PssKib() {
  std::ifstream rollup("/proc/self/smaps_rollup");
  std::string line;
  while (std::getline(rollup, line))
    if (line.rfind("Pss:", 0) == 0) return std::atol(line.c_str() + 4);
  return 0;
}

// `items` items, of which the `fresh` newest change at every download of that feed.
std::string Feed(int feed, int generation, int items, int fresh) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>";
  xml += "<title>feed " + std::to_string(feed) + "</title><link>http://news.example/</link>";
  for (int k = 0; k < items; ++k) {
    const int serial = k < fresh ? generation * fresh + k : -k;
    const std::string id = std::to_string(feed) + "/" + std::to_string(serial);
    xml += "<item><title>新闻 " + id + " 的标题，长短与真实标题相近</title>";
    xml += "<link>http://news.example/" + id + "</link>";
    xml += "<description>第 " + id + " 条新闻的内容摘要。</description></item>";
  }
  return xml + "</channel></rss>\n";
}

// The bar as the workers see it: starts a showing pass for each unread notice, takes every row,
// and counts the refresh passes that stored rows.
class BenchBar : public lumarine::ChannelBarLink {
 public:
  explicit BenchBar(lumarine::WorkerTiming timing) : loader_(*this, timing) {}
  ~BenchBar() override { loader_.StopAll(); }

  void PostUnreadReady(std::string channelName) override {
    lumarine::SetShownChannelName(std::move(channelName));
    loader_.StartPass();
  }
  bool SendNewsRow(const lumarine::RssItem&, std::stop_token) override {
    ++rows;
    return true;
  }
  void PostNewsStored(int count, std::vector<std::string>) override {
    {
      std::lock_guard lock(mutex_);
      ++passes_;
      stored += count;
    }
    passed_.notify_all();
  }
  bool IsAlive() const override { return true; }

  int WaitForPass(int after) {
    std::unique_lock lock(mutex_);
    passed_.wait_for(lock, 120s, [&] { return passes_ > after; });
    return passes_;
  }

  std::atomic<long> rows{0};
  std::atomic<long> stored{0};

 private:
  lumarine::NewsListLoader loader_;
  std::mutex mutex_;
  std::condition_variable passed_;
  int passes_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  int feeds = 100, passes = 32, items = 20, fresh = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (flag == "--feeds") feeds = value;
    if (flag == "--passes") passes = value;
    if (flag == "--items") items = value;
    if (flag == "--fresh") fresh = value;
  }
  std::mutex servedMutex;
  std::map<int, int> generations;
  // The tests' server records every request, which would grow here with every pass and be
  // counted against the workers.
  lumarine::test::LoopbackServer site(lumarine::test::LoopbackServer::Recording::kNothing);
  site.Server().Get(
      R"(/feed/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
        const int feed = std::atoi(request.matches[1].str().c_str());
        int generation;
        {
          std::lock_guard lock(servedMutex);
          generation = ++generations[feed];
        }
        response.set_content(Feed(feed, generation, items, fresh), "application/rss+xml");
      });
  site.Start();

  const std::filesystem::path program =
      std::filesystem::temp_directory_path() / ("lumarine-memory-" + std::to_string(getpid()));
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

  // Ten channels of ten feeds; every channel is due at every pass.
  lumarine::ChannelList channels;
  std::vector<std::unique_ptr<lumarine::SubscribedChannel>> records;
  for (int c = 0; c * 10 < feeds; ++c) {
    auto record = std::make_unique<lumarine::SubscribedChannel>();
    record->name = "频道" + std::to_string(c);
    for (int f = c * 10; f < std::min(feeds, c * 10 + 10); ++f)
      record->feeds.push_back(site.Url("/feed/" + std::to_string(f)));
    records.push_back(std::move(record));
  }
  channels.Reset(std::move(records));

  lumarine::WorkerTiming timing;
  timing.firstPassDelay = 1ms;
  timing.refreshWait = 50ms;  // 15 minutes
  timing.dueAfterMs = 1;
  timing.feedPause = 0ms;
  timing.unreadWait = 500ms;  // 8 minutes, about twice per refresh pass here as there
  timing.rowPause = 0ms;
  lumarine::ListRefreshEvent().Reset();
  lumarine::FeedRefreshEvent().Reset();

  std::vector<long> samples;
  const auto start = std::chrono::steady_clock::now();
  {
    BenchBar bar(timing);
    lumarine::RefreshWorker refresh(channels, bar, timing);
    lumarine::UnreadWatcher watcher(channels, bar, timing);
    refresh.Start();
    watcher.Start();
    for (int done = 0; done < passes;) {
      const int now = bar.WaitForPass(done);
      if (now == done) {
        std::fprintf(stderr, "no refresh pass ended within 120 s\n");
        return 1;
      }
      done = now;
      samples.push_back(PssKib());
    }
    watcher.Stop();
    refresh.Stop();
    std::printf("%d refresh passes of %d feeds in %.1f s: %ld rows stored, %ld rows shown\n",
                passes, feeds,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                bar.stored.load(), bar.rows.load());
  }
  lumarine::ClearAllItems();
  std::filesystem::remove_all(program);

  const long first = samples.front();
  const long largest = *std::max_element(samples.begin(), samples.end());
  const long smallest = *std::min_element(samples.begin(), samples.end());
  const double change =
      100.0 * static_cast<double>(std::max(largest - first, first - smallest)) / first;
  std::printf("PSS after pass 1: %ld KiB; largest %ld KiB, smallest %ld KiB, last %ld KiB\n", first,
              largest, smallest, samples.back());
  std::printf("largest change against pass 1: %.1f %% (target: within 10 %%)\n", change);
  std::printf("PSS per pass (KiB):");
  for (long kib : samples) std::printf(" %ld", kib);
  std::printf("\n");
  return change <= 10.0 ? 0 : 1;
}
