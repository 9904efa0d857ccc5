// Feed parsing throughput against a bare libxml2 parse of the same bytes: `ParseFeed` against
// libxml2 reading the same files, `ParseFeedFromMemory` against libxml2 parsing the same bytes.
// Run: build/bench/parse_feed_bench --benchmark_repetitions=9
//        --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <time.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "feeds/rss_feed.h"
#include "platform/text_codec.h"
#include "platform/xml_document.h"

namespace {

constexpr int kFeeds = 100;
constexpr int kItems = 50;

struct Corpus {
  std::string directory;
  std::vector<std::string> paths;
  std::vector<std::string> bytes;
  size_t totalBytes = 0;

  Corpus() {
    directory = std::filesystem::temp_directory_path() / "lumarine-parse-bench";
    std::filesystem::create_directories(directory);
    for (int f = 0; f < kFeeds; ++f) {
      const bool gb = f % 2 == 0;  // half of the corpus is GB2312
      std::string xml = std::string("<?xml version=\"1.0\" encoding=\"") +
                        (gb ? "gb2312" : "utf-8") + "\"?>\n<rss version=\"2.0\"><channel>" +
                        "<title>频道 " + std::to_string(f) + "</title><link>http://e/</link>";
      for (int i = 0; i < kItems; ++i) {
        const std::string n = std::to_string(f * kItems + i);
        xml += "<item><title>新闻标题 " + n + " 国内外要闻速递 &amp; 评论</title><link>http://e/" +
               n + "</link><description>这是第 " + n +
               " 条新闻的摘要，包含一些中文文字和 &lt;b&gt;标记&lt;/b&gt;。</description>"
               "<pubDate>Tue, 08 Dec 2026 06:00:00 GMT</pubDate><guid>http://e/" +
               n + "</guid></item>\n";
      }
      xml += "</channel></rss>\n";
      if (gb) xml = lumarine::Utf8ToGb18030(xml);
      const std::string path = directory + "/feed" + std::to_string(f) + ".xml";
      std::ofstream(path, std::ios::binary) << xml;
      paths.push_back(path);
      totalBytes += xml.size();
      bytes.push_back(std::move(xml));
    }
  }
  ~Corpus() { std::filesystem::remove_all(directory); }
};

Corpus& TheCorpus() {
  static Corpus corpus;
  return corpus;
}

void BM_ParseFeed(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  size_t items = 0;
  for (auto _ : state)
    for (const std::string& path : corpus.paths) items += lumarine::ParseFeed(path).ItemCount();
  if (items != static_cast<size_t>(state.iterations()) * kFeeds * kItems)
    state.SkipWithError("wrong item count");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
}
BENCHMARK(BM_ParseFeed)->Unit(benchmark::kMillisecond);

// The parse alone, from the same bytes the floor parses (no file reading).
void BM_ParseFeedFromMemory(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  size_t items = 0;
  for (auto _ : state)
    for (const std::string& xml : corpus.bytes)
      items += lumarine::ParseFeedFromMemory(xml).ItemCount();
  if (items != static_cast<size_t>(state.iterations()) * kFeeds * kItems)
    state.SkipWithError("wrong item count");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
}
BENCHMARK(BM_ParseFeedFromMemory)->Unit(benchmark::kMillisecond);

// The document alone, without reading the items: splits the cost between libxml2's parse as
// we call it and the item reader.
void BM_DocumentOnly(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  for (auto _ : state)
    for (const std::string& xml : corpus.bytes) {
      auto document = lumarine::XmlDocument::ParseLenient(xml, {});
      benchmark::DoNotOptimize(document);
    }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
}
BENCHMARK(BM_DocumentOnly)->Unit(benchmark::kMillisecond);

// The floors themselves: libxml2 parsing the bytes, or reading and parsing the file.
void BareParse(const std::string& xml, const char* encoding) {
  xmlDoc* doc =
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, encoding, XML_PARSE_NONET);
  benchmark::DoNotOptimize(doc);
  xmlFreeDoc(doc);
}
void BareReadFile(const std::string& path, const char* encoding) {
  xmlDoc* doc = xmlReadFile(path.c_str(), encoding, XML_PARSE_NONET);
  benchmark::DoNotOptimize(doc);
  xmlFreeDoc(doc);
}
const char* EncodingOf(size_t feed) { return feed % 2 == 0 ? "GB18030" : nullptr; }

// The floor: libxml2 parsing the same bytes (GB2312 decoded the same way), no reading out.
void BM_BareLibxml2Parse(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  for (auto _ : state) {
    for (size_t f = 0; f < corpus.bytes.size(); ++f) BareParse(corpus.bytes[f], EncodingOf(f));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
}
BENCHMARK(BM_BareLibxml2Parse)->Unit(benchmark::kMillisecond);

// The floor of `ParseFeed`, which reads the files: libxml2 reading and parsing the same files.
void BM_BareLibxml2ReadFile(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  for (auto _ : state) {
    for (size_t f = 0; f < corpus.paths.size(); ++f) BareReadFile(corpus.paths[f], EncodingOf(f));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.totalBytes));
}
BENCHMARK(BM_BareLibxml2ReadFile)->Unit(benchmark::kMillisecond);

// The ratios themselves, each feed parsed by ours and by the floor back to back, so that a
// machine that slows down or speeds up between repetitions slows both alike.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_PairedRatios(benchmark::State& state) {
  Corpus& corpus = TheCorpus();
  // ParseFeed, ParseFeedFromMemory, libxml2 reading the file, libxml2 parsing the bytes.
  double seconds[4] = {};
  size_t turn = 0;
  for (auto _ : state) {
    for (size_t f = 0; f < corpus.paths.size(); ++f) {
      const char* encoding = EncodingOf(f);
      const std::string& xml = corpus.bytes[f];
      const std::string& path = corpus.paths[f];
      const auto run = [&](size_t which) {
        const double begin = ThreadCpuSeconds();
        if (which == 0)
          benchmark::DoNotOptimize(lumarine::ParseFeed(path).ItemCount());
        else if (which == 1)
          benchmark::DoNotOptimize(lumarine::ParseFeedFromMemory(xml).ItemCount());
        else if (which == 2)
          BareReadFile(path, encoding);
        else
          BareParse(xml, encoding);
        seconds[which] += ThreadCpuSeconds() - begin;
      };
      // The first to run finds the bytes out of the cache and the heap as the last left it:
      // each takes every place in turn.
      for (size_t k = 0; k < 4; ++k) run((turn + k) % 4);
      ++turn;
    }
  }
  state.counters["ParseFeed_vs_ReadFile"] = seconds[0] / seconds[2];
  state.counters["ParseFeed_vs_Parse"] = seconds[0] / seconds[3];
  state.counters["FromMemory_vs_Parse"] = seconds[1] / seconds[3];
}
BENCHMARK(BM_PairedRatios)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
