#include "feeds/feed_health.h"

namespace lumarine {

FeedHealth FeedHealth::OfParse(FeedParseResult result, size_t items) {
  switch (result) {
    case FeedParseResult::kItems:
      return {State::kItems, items, 0};
    case FeedParseResult::kNoItems:
      return {State::kNoItems, 0, 0};
    case FeedParseResult::kNotAFeed:
      return {State::kNotAFeed, 0, 0};
    case FeedParseResult::kUnreadableXml:
      break;
  }
  return {State::kUnreadableXml, 0, 0};
}

FeedHealth FeedHealth::OfFailedDownload(const HttpResponse& response) {
  switch (response.failure) {
    case HttpFailure::kCannotConnect:
      return {State::kCannotConnect, 0, 0};
    case HttpFailure::kTimedOut:
      return {State::kTimedOut, 0, 0};
    case HttpFailure::kHttpStatus:
      return {State::kHttpStatus, 0, response.status};
    default:
      return {State::kDownloadFailed, 0, 0};
  }
}

std::string FeedHealthText(const FeedHealth& health) {
  using State = FeedHealth::State;
  switch (health.state) {
    case State::kItems:
      return "正常 (" + std::to_string(health.items) + " 条)";
    case State::kNoItems:
      return "没有新闻";
    case State::kNotAFeed:
      return "不是RSS/Atom";
    case State::kUnreadableXml:
      return "XML无法读取";
    case State::kCannotConnect:
      return "无法连接";
    case State::kTimedOut:
      return "超时";
    case State::kHttpStatus:
      return "HTTP " + std::to_string(health.httpStatus);
    case State::kDownloadFailed:
      break;
  }
  return "下载失败";
}

}  // namespace lumarine
