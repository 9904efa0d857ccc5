// Loading the subscribed channels of a catalogue with many feeds: ChannelStore reads each
// file once per operation; the baseline reads the file again for every key, as a reader of
// single profile keys does (and as the store did before), at 2,000 feeds, where it still
// finishes.
// Run: build/bench/channel_store_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "feeds/channel_store.h"
#include "platform/paths.h"
#include "platform/profile_file.h"

namespace lumarine {
namespace {

struct Profile {
  std::string directory;

  explicit Profile(int64_t feeds) {
    directory = std::filesystem::temp_directory_path() / "lumarine-channel-bench";
    std::filesystem::create_directories(directory + "/profile");
    std::ofstream catalogue(directory + "/profile/qixchannel.ini", std::ios::binary);
    catalogue << "[channel]\r\nchannelcnt=1\r\nchannel1=big\r\n[big]\r\nfeedcnt=" << feeds
              << "\r\n";
    for (int64_t j = 1; j <= feeds; ++j)
      catalogue << "feed" << j << "=http://feeds.example/" << j << ".xml\r\nfeedstate" << j << "="
                << (j % 10 == 0 ? 1 : 0) << "\r\n";
    std::ofstream user(directory + "/profile/userchannel.ini", std::ios::binary);
    user << "[userchannel]\r\nchannelcnt=1\r\nchannel1=big\r\n[big]\r\nsubstate=1\r\n";
    SetExecutableDirectoryOverride(directory);
  }
  ~Profile() {
    SetExecutableDirectoryOverride("");
    std::filesystem::remove_all(directory);
  }
};

void BM_LoadSubscribedChannels(benchmark::State& state) {
  const Profile profile(state.range(0));
  for (auto _ : state) {
    const auto channels = ChannelStore::LoadSubscribedChannels();
    benchmark::DoNotOptimize(channels.front()->feeds.size());
  }
}
BENCHMARK(BM_LoadSubscribedChannels)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ReadEveryKeyAfresh(benchmark::State& state) {
  const Profile profile(state.range(0));
  const ProfileFile catalogue(ChannelStore::CatalogueFilePath());
  for (auto _ : state) {
    size_t feeds = 0;
    const int count = catalogue.GetInt("big", "feedcnt", 0);
    for (int j = 1; j <= count; ++j)
      if (catalogue.GetInt("big", "feedstate" + std::to_string(j), 0) == 0)
        feeds += catalogue.GetString("big", "feed" + std::to_string(j), "", 1024).size();
    benchmark::DoNotOptimize(feeds);
  }
}
BENCHMARK(BM_ReadEveryKeyAfresh)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumarine

BENCHMARK_MAIN();
