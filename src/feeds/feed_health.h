#pragma once

#include <string>

#include "feeds/rss_feed.h"
#include "platform/http_client.h"

namespace lumarine {

// What the last download of one feed gave: its items, or why it gave none.
struct FeedHealth {
  enum class State {
    kItems,
    kNoItems,
    kNotAFeed,
    kUnreadableXml,
    kCannotConnect,
    kTimedOut,
    kHttpStatus,
    kDownloadFailed,
  };

  State state = State::kItems;
  size_t items = 0;     // items the feed gave, with kItems
  long httpStatus = 0;  // with kHttpStatus

  // The feed gave nothing because it could not be had or read. A well-formed feed without
  // items is quiet, not dead.
  bool Failed() const { return state != State::kItems && state != State::kNoItems; }

  static FeedHealth OfParse(FeedParseResult result, size_t items);
  // For a transfer that failed (`response.ok` false).
  static FeedHealth OfFailedDownload(const HttpResponse& response);
};

// The user's words for a feed's health: "正常 (24 条)", "无法连接", "HTTP 404", ...
std::string FeedHealthText(const FeedHealth& health);

}  // namespace lumarine
