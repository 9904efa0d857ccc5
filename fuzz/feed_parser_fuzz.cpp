// Feeds arrive from anywhere: parsing any bytes must neither crash, leak nor hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "feeds/rss_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first byte picks the charset a server might have sent along.
  static constexpr std::string_view kCharsets[] = {"", "gbk", "utf-8", "iso-8859-1"};
  const std::string_view charset = size > 0 ? kCharsets[data[0] % 4] : "";
  const lumarine::RssFeed feed =
      lumarine::ParseFeedFromMemory(bytes, {.wantTitle = true, .wantDescriptions = true},
                                    {.httpCharset = charset, .address = {}});
  for (const lumarine::RssItem& item : feed.items)
    if (item.title.size() + item.link.size() + item.description.size() == SIZE_MAX) return 1;
  return 0;
}
