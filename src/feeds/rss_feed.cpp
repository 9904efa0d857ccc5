#include "feeds/rss_feed.h"

#include "platform/http_client.h"
#include "platform/xml_document.h"

namespace lumarine {
namespace {

FeedParseResult ReadDocument(const XmlDocument& document, bool wantDescriptions, RssFeed& feed) {
  if (!document.SelectSingle("/rss/channel")) return FeedParseResult::kNotAFeed;
  if (feed.wantTitle) {
    if (const auto title = document.SelectSingle("/rss/channel/title")) feed.title = title->Text();
  }
  for (const XmlNode& node : document.SelectAll("/rss/channel/item")) {
    RssItem item;
    item.title = XmlSelectText(node, "title");
    item.link = XmlSelectText(node, "link");
    if (wantDescriptions) item.description = XmlSelectText(node, "description");
    feed.items.push_back(std::move(item));
  }
  return feed.items.empty() ? FeedParseResult::kNoItems : FeedParseResult::kItems;
}

}  // namespace

std::string XmlSelectText(const XmlNode& node, const std::string& path) {
  const auto selected = node.SelectSingle(path);
  return selected ? selected->Text() : std::string();
}

RssFeed ParseFeedFromMemory(std::string_view bytes, bool wantTitle, bool wantDescriptions,
                            std::string_view httpCharset, FeedParseResult* result) {
  RssFeed feed(wantTitle);
  FeedParseResult outcome = FeedParseResult::kUnreadableXml;
  if (const auto document = XmlDocument::Parse(bytes, httpCharset))
    outcome = ReadDocument(*document, wantDescriptions, feed);
  if (result) *result = outcome;
  return feed;
}

RssFeed ParseFeed(const std::string& address, bool wantTitle, bool wantDescriptions,
                  std::stop_token stop) {
  HttpRequest request;
  request.url = address;
  request.stop = std::move(stop);
  const HttpResponse response = HttpGet(request);
  if (!response.ok) return RssFeed(wantTitle);
  return ParseFeedFromMemory(response.body, wantTitle, wantDescriptions,
                             CharsetOfContentType(response.contentType));
}

}  // namespace lumarine
