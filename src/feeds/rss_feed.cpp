#include "feeds/rss_feed.h"

#include "platform/http_client.h"
#include "platform/xml_document.h"

namespace lumarine {
namespace {

constexpr std::string_view kAtom10 = "http://www.w3.org/2005/Atom";
constexpr std::string_view kAtom03 = "http://purl.org/atom/ns#";
constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kRss10 = "http://purl.org/rss/1.0/";
constexpr std::string_view kRss090 = "http://my.netscape.com/rdf/simple/0.9/";
constexpr std::string_view kDublinCore = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kContent = "http://purl.org/rss/1.0/modules/content/";

// What every reader needs besides the document.
struct ReadOptions {
  bool wantDescriptions = false;
  // Where the document came from: relative item links are resolved against it.
  std::string_view address;
};

// Nearly every link is an absolute web address already: those skip the resolver.
void ResolveLink(const XmlNode& item, std::string& link, std::string_view address) {
  if (link.empty() || link.starts_with("http://") || link.starts_with("https://")) return;
  link = item.ResolveReference(std::move(link), address);
}

bool Is(const XmlNode& node, std::string_view name, std::string_view namespaceUri) {
  return node.LocalName() == name && node.NamespaceUri() == namespaceUri;
}

// Sets `field` from the first element that offers it: later candidates never overwrite.
void TakeFirst(std::string& field, bool& taken, const XmlNode& node) {
  if (taken) return;
  field = node.Text();
  taken = true;
}

// The three names every RSS version shares; TakeRssField ignores any other name.
struct RssFieldsTaken {
  bool title = false, link = false, description = false;
};

void TakeRssField(std::string_view name, const XmlNode& child, RssItem& item,
                  RssFieldsTaken& taken) {
  if (name == "title")
    TakeFirst(item.title, taken.title, child);
  else if (name == "link")
    TakeFirst(item.link, taken.link, child);
  else if (name == "description")
    TakeFirst(item.description, taken.description, child);
}

// Each reader walks an item's children once, keeping the first element of each kind, as a
// relative XPath selection of one name would.

// RSS 0.9x and 2.0: the elements are in the root's namespace (none, or a default one).
void ReadRssItem(const XmlNode& node, std::string_view ns, const ReadOptions& options,
                 RssItem& item) {
  RssFieldsTaken taken;
  taken.description = !options.wantDescriptions;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement())
    if (child->NamespaceUri() == ns) TakeRssField(child->LocalName(), *child, item, taken);
  ResolveLink(node, item.link, options.address);
}

FeedParseResult ReadRss(const XmlNode& root, const ReadOptions& options, RssFeed& feed) {
  const std::string_view ns = root.NamespaceUri();
  bool titled = !feed.wantTitle;
  for (auto channel = root.FirstChildElement(); channel; channel = channel->NextSiblingElement()) {
    if (!Is(*channel, "channel", ns)) continue;
    for (auto child = channel->FirstChildElement(); child; child = child->NextSiblingElement()) {
      if (child->NamespaceUri() != ns) continue;
      if (child->LocalName() == "item") {
        if (!child->IsDamaged()) ReadRssItem(*child, ns, options, feed.items.emplace_back());
      } else if (child->LocalName() == "title") {
        TakeFirst(feed.title, titled, *child);
      }
    }
  }
  return feed.items.empty() ? FeedParseResult::kNoItems : FeedParseResult::kItems;
}

// RSS 1.0 and 0.90 (RDF): the RSS names, with Dublin Core where RSS has none.
bool IsRdfRss(const XmlNode& node) {
  const std::string_view ns = node.NamespaceUri();
  return ns == kRss10 || ns == kRss090 || ns.empty();
}

RssItem ReadRdfItem(const XmlNode& node, const ReadOptions& options) {
  const bool wantDescriptions = options.wantDescriptions;
  RssItem item;
  std::string dcTitle, dcDescription, encoded;
  RssFieldsTaken taken;
  taken.description = !wantDescriptions;
  bool author = false, date = false, subject = false, hasDcTitle = false, hasDcDescription = false,
       hasEncoded = !wantDescriptions;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement()) {
    const std::string_view name = child->LocalName();
    if (IsRdfRss(*child)) {
      TakeRssField(name, *child, item, taken);
    } else if (child->NamespaceUri() == kDublinCore) {
      if (name == "title")
        TakeFirst(dcTitle, hasDcTitle, *child);
      else if (name == "description" && wantDescriptions)
        TakeFirst(dcDescription, hasDcDescription, *child);
      else if (name == "creator")
        TakeFirst(item.author, author, *child);
      else if (name == "date")
        TakeFirst(item.pubDate, date, *child);
      else if (name == "subject")
        TakeFirst(item.subject, subject, *child);
    } else if (child->NamespaceUri() == kContent && name == "encoded") {
      TakeFirst(encoded, hasEncoded, *child);
    }
  }
  if (!taken.title) item.title = dcTitle;
  if (!taken.link) item.link = node.Attribute("about", kRdf.data());
  ResolveLink(node, item.link, options.address);
  if (!taken.description) item.description = hasDcDescription ? dcDescription : encoded;
  return item;
}

FeedParseResult ReadRdf(const XmlNode& root, const ReadOptions& options, RssFeed& feed) {
  bool titled = !feed.wantTitle;
  for (auto child = root.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (!IsRdfRss(*child)) continue;
    if (child->LocalName() == "item") {
      if (!child->IsDamaged()) feed.items.push_back(ReadRdfItem(*child, options));
    } else if (child->LocalName() == "channel") {
      // Some writers put the items inside the channel.
      for (auto inner = child->FirstChildElement(); inner; inner = inner->NextSiblingElement()) {
        if (!IsRdfRss(*inner)) continue;
        if (inner->LocalName() == "title")
          TakeFirst(feed.title, titled, *inner);
        else if (inner->LocalName() == "item" && !inner->IsDamaged())
          feed.items.push_back(ReadRdfItem(*inner, options));
      }
    }
  }
  return feed.items.empty() ? FeedParseResult::kNoItems : FeedParseResult::kItems;
}

// Atom 1.0 (and 0.3): the alternate link, summary or content, published or updated.
RssItem ReadAtomEntry(const XmlNode& node, std::string_view ns, const ReadOptions& options) {
  const bool wantDescriptions = options.wantDescriptions;
  RssItem item;
  std::string firstHref, content, updated;
  bool title = false, alternate = false, anyLink = false, summary = !wantDescriptions,
       hasContent = !wantDescriptions, published = false, hasUpdated = false, author = false,
       category = false;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (child->NamespaceUri() != ns) continue;
    const std::string_view name = child->LocalName();
    if (name == "title") {
      TakeFirst(item.title, title, *child);
    } else if (name == "link") {
      const std::string rel = child->Attribute("rel");
      if (!anyLink) firstHref = child->Attribute("href"), anyLink = true;
      if (!alternate && (rel.empty() || rel == "alternate"))
        item.link = child->Attribute("href"), alternate = true;
    } else if (name == "summary") {
      TakeFirst(item.description, summary, *child);
    } else if (name == "content") {
      TakeFirst(content, hasContent, *child);
    } else if (name == "published" || name == "issued") {
      TakeFirst(item.pubDate, published, *child);
    } else if (name == "updated" || name == "modified") {
      TakeFirst(updated, hasUpdated, *child);
    } else if (name == "author" && !author) {
      for (auto part = child->FirstChildElement(); part; part = part->NextSiblingElement())
        if (Is(*part, "name", ns)) {
          TakeFirst(item.author, author, *part);
          break;
        }
    } else if (name == "category" && !category) {
      item.category = child->Attribute("term");
      category = true;
    }
  }
  if (!alternate) item.link = firstHref;
  ResolveLink(node, item.link, options.address);
  if (!summary) item.description = content;
  if (!published) item.pubDate = updated;
  return item;
}

FeedParseResult ReadAtom(const XmlNode& root, const ReadOptions& options, RssFeed& feed) {
  const std::string_view ns = root.NamespaceUri();
  bool titled = !feed.wantTitle;
  for (auto child = root.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (child->NamespaceUri() != ns) continue;
    if (child->LocalName() == "entry") {
      if (!child->IsDamaged()) feed.items.push_back(ReadAtomEntry(*child, ns, options));
    } else if (child->LocalName() == "title") {
      TakeFirst(feed.title, titled, *child);
    }
  }
  return feed.items.empty() ? FeedParseResult::kNoItems : FeedParseResult::kItems;
}

FeedParseResult ReadDocument(const XmlDocument& document, const ReadOptions& options,
                             RssFeed& feed) {
  const auto root = document.Root();
  if (!root) return FeedParseResult::kUnreadableXml;
  const std::string_view name = root->LocalName();
  const std::string_view ns = root->NamespaceUri();
  if (name == "rss") return ReadRss(*root, options, feed);
  if (name == "RDF" && ns == kRdf) return ReadRdf(*root, options, feed);
  if (name == "feed" && (ns == kAtom10 || ns == kAtom03 || ns.empty()))
    return ReadAtom(*root, options, feed);
  return FeedParseResult::kNotAFeed;
}

}  // namespace

std::string XmlSelectText(const XmlNode& node, const std::string& path) {
  const auto selected = node.SelectSingle(path);
  return selected ? selected->Text() : std::string();
}

RssFeed ParseFeedFromMemory(std::string_view bytes, bool wantTitle, bool wantDescriptions,
                            std::string_view httpCharset, FeedParseResult* result,
                            std::string_view address) {
  RssFeed feed(wantTitle);
  FeedParseResult outcome = FeedParseResult::kUnreadableXml;
  if (const auto document = XmlDocument::ParseLenient(bytes, httpCharset))
    outcome = ReadDocument(*document, {wantDescriptions, address}, feed);
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
                             CharsetOfContentType(response.contentType), nullptr, address);
}

}  // namespace lumarine
