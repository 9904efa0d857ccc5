#include "feeds/feed_finder.h"

#include <libxml/HTMLparser.h>
#include <libxml/uri.h>

#include <algorithm>
#include <memory>

#include "platform/ascii_text.h"
#include "platform/http_client.h"
#include "platform/text_codec.h"
#include "platform/xml_document.h"

namespace lumarine {
namespace {

// A page announces at most a handful of feeds; more are not worth a download each.
constexpr size_t kMaxTriedFeeds = 4;

struct HtmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// HTML's blanks.
constexpr std::string_view kHtmlSpace = " \t\r\n\f";

std::string Attribute(xmlNode* node, const char* name) { return XmlNode(node).Attribute(name); }

std::string Trimmed(std::string_view text) { return std::string(AsciiTrim(text, kHtmlSpace)); }

// rel is a space-separated list of tokens, compared without case.
bool HasRelToken(const std::string& rel, std::string_view token) {
  const std::string lower = AsciiLower(rel);
  size_t at = 0;
  while (at < lower.size()) {
    const size_t start = lower.find_first_not_of(kHtmlSpace, at);
    if (start == std::string::npos) break;
    const size_t end = std::min(lower.find_first_of(kHtmlSpace, start), lower.size());
    if (std::string_view(lower).substr(start, end - start) == token) return true;
    at = end;
  }
  return false;
}

bool IsFeedType(const std::string& type) {
  const std::string mime =
      AsciiLower(AsciiTrim(std::string_view(type).substr(0, type.find(';')), kHtmlSpace));
  return mime == "application/rss+xml" || mime == "application/atom+xml";
}

std::string Resolve(const std::string& reference, const std::string& base) {
  if (base.empty()) return reference;
  xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(reference.c_str()),
                               reinterpret_cast<const xmlChar*>(base.c_str()));
  if (!built) return reference;
  std::string resolved(reinterpret_cast<const char*>(built));
  xmlFree(built);
  return resolved;
}

void Collect(xmlNode* node, std::string& base, std::vector<std::string>& hrefs) {
  for (; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = AsciiLower(reinterpret_cast<const char*>(node->name));
    if (name == "base" && base.empty()) {
      base = Trimmed(Attribute(node, "href"));
    } else if (name == "link" && HasRelToken(Attribute(node, "rel"), "alternate") &&
               IsFeedType(Attribute(node, "type"))) {
      if (std::string href = Trimmed(Attribute(node, "href")); !href.empty())
        hrefs.push_back(std::move(href));
    }
    Collect(node->children, base, hrefs);
  }
}

struct Attempt {
  HttpResponse response;
  FeedParseResult parsed = FeedParseResult::kUnreadableXml;
  FeedHealth health;
  RssFeed feed;
};

Attempt Download(const std::string& address, const FeedParseOptions& options,
                 const std::stop_token& stop) {
  Attempt attempt;
  HttpRequest request;
  request.url = address;
  request.stop = stop;
  attempt.response = HttpGet(request);
  attempt.feed = RssFeed(options.wantTitle);
  if (!attempt.response.ok) {
    attempt.health = FeedHealth::OfFailedDownload(attempt.response);
    return attempt;
  }
  attempt.feed = ParseFeedFromMemory(
      attempt.response.body, options,
      {.httpCharset = CharsetOfContentType(attempt.response.contentType), .address = address},
      &attempt.parsed);
  attempt.health = FeedHealth::OfParse(attempt.parsed, attempt.feed.ItemCount());
  return attempt;
}

}  // namespace

std::vector<std::string> FeedFinder::AnnouncedFeeds(std::string_view html,
                                                    std::string_view pageAddress) {
  std::vector<std::string> feeds;
  if (html.empty()) return feeds;
  const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                      HTML_PARSE_NONET | HTML_PARSE_NOBLANKS;
  const std::unique_ptr<xmlDoc, HtmlDocFree> doc(
      htmlReadMemory(html.data(), static_cast<int>(std::min<size_t>(html.size(), 1 << 30)), nullptr,
                     nullptr, options));
  if (!doc) return feeds;
  std::string base;
  std::vector<std::string> hrefs;
  Collect(xmlDocGetRootElement(doc.get()), base, hrefs);
  const std::string page(pageAddress);
  // A relative <base> is itself relative to the page.
  const std::string against = base.empty() ? page : Resolve(base, page);
  for (const std::string& href : hrefs) {
    std::string feed = Resolve(href, against);
    if (std::find(feeds.begin(), feeds.end(), feed) == feeds.end()) feeds.push_back(feed);
  }
  return feeds;
}

FeedFinder::Result FeedFinder::Fetch(const std::string& address, const FeedParseOptions& options,
                                     std::stop_token stop) {
  Attempt attempt = Download(address, options, stop);
  return {address, attempt.health, std::move(attempt.feed)};
}

FeedFinder::Result FeedFinder::Check(const std::string& address, bool wantTitle,
                                     std::stop_token stop) {
  Attempt given = Download(address, {.wantTitle = wantTitle, .wantDescriptions = false}, stop);
  const bool notFeed = given.response.ok && (given.parsed == FeedParseResult::kNotAFeed ||
                                             given.parsed == FeedParseResult::kUnreadableXml);
  if (notFeed) {
    std::vector<std::string> announced = AnnouncedFeeds(given.response.body, address);
    if (announced.size() > kMaxTriedFeeds) announced.resize(kMaxTriedFeeds);
    for (const std::string& candidate : announced) {
      if (stop.stop_requested()) break;
      if (candidate == address) continue;
      Attempt found =
          Download(candidate, {.wantTitle = wantTitle, .wantDescriptions = false}, stop);
      if (found.feed.IsValid()) return {candidate, found.health, std::move(found.feed)};
    }
    // A web page, and none of its feeds gave news: it is no feed, however it parsed as XML.
    if (!announced.empty() ||
        AsciiLower(given.response.contentType).find("html") != std::string::npos)
      given.health = FeedHealth::OfParse(FeedParseResult::kNotAFeed, 0);
  }
  return {address, given.health, std::move(given.feed)};
}

}  // namespace lumarine
