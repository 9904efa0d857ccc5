// One refresh pass as the refresh worker makes it (FeedFetcher: downloads several at once,
// parse, store every feed into a fresh news.mdb), timed.
//
//   refresh_pass_bench --base http://127.0.0.1:PORT [--feeds 100] [--runs 5]
//     Feeds /feed/0 ... from a running server (bench/footprint.sh uses feed_farm). Prints the
//     median wall time of a pass and the rows stored.
//
//   refresh_pass_bench --newsboat [--feeds 100] [--items 50] [--delay-ms 400] [--runs 3]
//     Serves the feeds itself on loopback (every answer delayed, ETag and Last-Modified sent,
//     304 when unchanged) and compares in the same run, on the same feeds:
//       cold: a pass on an empty store against `newsboat -x reload` on an empty cache;
//       warm: a second pass over the unchanged feeds (answered 304) against a newsboat reload
//             with its cache that is answered 304 (its third: it sends validators only then).
//     Wall time and CPU time, medians over the runs. Our CPU time is that of the thread that
//     runs the pass (transfers, parsing and storing all run on it); newsboat's is its whole
//     process. The server's work counts for neither. newsboat must be installed
//     (bench/refresh_vs_newsboat.sh installs it).
#include <fcntl.h>
#include <httplib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "feeds/feed_fetcher.h"
#include "feeds/worker_timing.h"
#include "platform/paths.h"
#include "store/news_database_file.h"
#include "store/news_store.h"

namespace {

namespace fs = std::filesystem;

struct Sample {
  double wallMs = 0;
  double cpuMs = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// A program directory with a fresh news.mdb, removed at the end.
class BenchProgram {
 public:
  BenchProgram()
      : path_(fs::temp_directory_path() / ("lumarine-bench-" + std::to_string(getpid()))) {
    fs::create_directories(path_ / "profile");
    lumarine::SetExecutableDirectoryOverride(path_.string());
    std::stringstream schema;
    schema << std::ifstream(LUMARINE_NEWS_SCHEMA).rdbuf();
    std::string error;
    ok_ = lumarine::CreateNewsDatabase((path_ / "news.mdb").string(), schema.str(), error) ==
          lumarine::CreateDatabaseResult::kCreated;
    if (!ok_) std::fprintf(stderr, "cannot create news.mdb: %s\n", error.c_str());
  }
  ~BenchProgram() { fs::remove_all(path_); }
  bool Ok() const { return ok_; }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
  bool ok_ = false;
};

std::vector<lumarine::FeedFetcher::Job> Jobs(const std::string& base, int feeds) {
  std::vector<lumarine::FeedFetcher::Job> jobs;
  for (int f = 0; f < feeds; ++f) jobs.push_back({base + "/feed/" + std::to_string(f), "bench"});
  return jobs;
}

// One pass with `fetcher`, timed; `stored` receives the rows it stored.
Sample OurPass(lumarine::FeedFetcher& fetcher, const std::vector<lumarine::FeedFetcher::Job>& jobs,
               int& stored) {
  std::vector<std::string> titles;
  const double cpuStart = ThreadCpuMs();
  const auto start = std::chrono::steady_clock::now();
  stored = fetcher.RunPass(jobs, [](size_t) {}, titles, {});
  return {Since(start), ThreadCpuMs() - cpuStart};
}

lumarine::FeedFetcher NewFetcher() {
  const lumarine::WorkerTiming timing;
  return lumarine::FeedFetcher(timing.maxTransfers, timing.feedPause);
}

int RunAgainstBase(const std::string& base, int feeds, int runs) {
  BenchProgram program;
  if (!program.Ok()) return 1;
  std::vector<double> times;
  int stored = 0;
  for (int run = 0; run < runs; ++run) {
    lumarine::ClearAllItems();
    lumarine::FeedFetcher fetcher = NewFetcher();  // no validators: a full download
    times.push_back(OurPass(fetcher, Jobs(base, feeds), stored).wallMs);
  }
  std::printf("refresh pass: %d feeds, %d rows stored, median %.1f ms over %d runs\n", feeds,
              stored, Median(times), runs);
  return stored > 0 ? 0 : 1;
}

std::string FeedBody(int feed, int items) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>";
  xml += "<title>Feed " + std::to_string(feed) + "</title><link>http://news.example/</link>";
  for (int k = 1; k <= items; ++k) {
    const std::string id = std::to_string(feed) + "/" + std::to_string(k);
    xml += "<item><title>Feed " + id + " 第" + std::to_string(k) +
           "条</title><link>http://news.example/" + id + "</link><description>第" + id +
           "条新闻内容，一段足够长的正文摘要。</description><pubDate>Tue, 08 Dec 2026 08:00:00 "
           "GMT</pubDate><guid>http://news.example/" +
           id + "</guid></item>";
  }
  return xml + "</channel></rss>\n";
}

// Runs newsboat once on `urls` with `cache`; its wall and CPU time.
Sample NewsboatReload(const fs::path& dir, bool& ok) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    setenv("HOME", dir.c_str(), 1);
    execlp("newsboat", "newsboat", "-u", (dir / "urls").c_str(), "-c", (dir / "cache.db").c_str(),
           "-C", (dir / "config").c_str(), "-x", "reload", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  return {Since(start), cpu};
}

void PrintRow(const char* name, const std::vector<Sample>& samples) {
  std::vector<double> wall, cpu;
  for (const Sample& s : samples) {
    wall.push_back(s.wallMs);
    cpu.push_back(s.cpuMs);
  }
  std::printf("%-22s wall median %8.1f ms   CPU median %8.1f ms\n", name, Median(wall),
              Median(cpu));
}

double MedianOf(const std::vector<Sample>& samples, double Sample::*field) {
  std::vector<double> values;
  for (const Sample& s : samples) values.push_back(s.*field);
  return Median(values);
}

int CompareWithNewsboat(int feeds, int items, int delayMs, int runs) {
  BenchProgram program;
  if (!program.Ok()) return 1;
  std::vector<std::string> bodies;
  for (int f = 0; f < feeds; ++f) bodies.push_back(FeedBody(f, items));
  std::atomic<int> full{0}, notModified{0};
  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(24); };
  server.Get(R"(/feed/(\d+))", [&](const httplib::Request& request, httplib::Response& response) {
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    const int feed = std::atoi(request.matches[1].str().c_str());
    if (feed < 0 || feed >= feeds) {
      response.status = 404;
      return;
    }
    const std::string etag = "\"v1-" + std::to_string(feed) + "\"";
    const std::string lastModified = "Tue, 08 Dec 2026 08:00:00 GMT";
    response.set_header("ETag", etag);
    response.set_header("Last-Modified", lastModified);
    if (request.get_header_value("If-None-Match") == etag ||
        request.get_header_value("If-Modified-Since") == lastModified) {
      response.status = 304;
      ++notModified;
      return;
    }
    ++full;
    response.set_content(bodies[static_cast<size_t>(feed)], "text/xml; charset=utf-8");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&server] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::string base = "http://127.0.0.1:" + std::to_string(port);
  const auto jobs = Jobs(base, feeds);

  const fs::path newsboatDir = program.Path() / "newsboat";
  fs::create_directories(newsboatDir);
  {
    std::ofstream urls(newsboatDir / "urls");
    for (const auto& job : jobs) urls << job.address << '\n';
    std::ofstream config(newsboatDir / "config");
    config << "reload-threads 4\n";
  }

  std::vector<Sample> oursCold, oursWarm, theirsCold, theirsWarm;
  int storedCold = 0, storedWarm = 0;
  bool newsboatOk = true;
  int ourWarm304 = 0, theirWarm304 = 0;
  for (int run = 0; run < runs; ++run) {
    lumarine::ClearAllItems();
    lumarine::FeedFetcher fetcher = NewFetcher();
    oursCold.push_back(OurPass(fetcher, jobs, storedCold));
    const int before = notModified;
    oursWarm.push_back(OurPass(fetcher, jobs, storedWarm));
    ourWarm304 = notModified - before;

    fs::remove(newsboatDir / "cache.db");
    bool ok = false;
    theirsCold.push_back(NewsboatReload(newsboatDir, ok));
    newsboatOk = newsboatOk && ok;
    // newsboat 2.21 keeps the validators of a feed only from its second download on (its
    // issue 2734), so its first warm reload still downloads in full: prime it once.
    NewsboatReload(newsboatDir, ok);
    const int theirBefore = notModified;
    theirsWarm.push_back(NewsboatReload(newsboatDir, ok));
    newsboatOk = newsboatOk && ok;
    theirWarm304 = notModified - theirBefore;
  }
  server.stop();
  serving.join();

  std::printf("%d feeds of %d items, every answer delayed %d ms, %d runs\n", feeds, items, delayMs,
              runs);
  std::printf("rows stored by a cold pass: %d; by a warm pass: %d\n", storedCold, storedWarm);
  std::printf("answers 304 in the last warm run: ours %d, newsboat %d\n", ourWarm304, theirWarm304);
  PrintRow("Lumarine cold", oursCold);
  PrintRow("newsboat cold", theirsCold);
  PrintRow("Lumarine warm (304)", oursWarm);
  PrintRow("newsboat warm", theirsWarm);
  std::printf("ratio cold wall ours/newsboat: %.2f\n",
              MedianOf(oursCold, &Sample::wallMs) / MedianOf(theirsCold, &Sample::wallMs));
  std::printf("ratio cold CPU  ours/newsboat: %.2f\n",
              MedianOf(oursCold, &Sample::cpuMs) / MedianOf(theirsCold, &Sample::cpuMs));
  std::printf("ratio warm CPU  ours/newsboat: %.2f\n",
              MedianOf(oursWarm, &Sample::cpuMs) / MedianOf(theirsWarm, &Sample::cpuMs));
  if (!newsboatOk) std::fprintf(stderr, "newsboat did not finish cleanly\n");
  return storedCold > 0 && newsboatOk ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string base;
  bool newsboat = false;
  int feeds = 100, runs = -1, items = 50, delayMs = 400;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    if (flag == "--newsboat") {
      newsboat = true;
      continue;
    }
    if (flag == "--base") base = value;
    if (flag == "--feeds") feeds = std::atoi(value);
    if (flag == "--runs") runs = std::atoi(value);
    if (flag == "--items") items = std::atoi(value);
    if (flag == "--delay-ms") delayMs = std::atoi(value);
    ++i;
  }
  if (newsboat) return CompareWithNewsboat(feeds, items, delayMs, runs > 0 ? runs : 3);
  if (base.empty()) {
    std::fprintf(stderr,
                 "usage: refresh_pass_bench --base URL [--feeds N] [--runs N]\n"
                 "       refresh_pass_bench --newsboat [--feeds N] [--items N] [--delay-ms N] "
                 "[--runs N]\n");
    return 2;
  }
  return RunAgainstBase(base, feeds, runs > 0 ? runs : 5);
}
