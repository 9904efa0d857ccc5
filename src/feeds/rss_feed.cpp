#include "feeds/rss_feed.h"

#include <cstdint>

#include "platform/ascii_text.h"
#include "platform/http_client.h"
#include "platform/text_codec.h"
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
constexpr std::string_view kMedia = "http://search.yahoo.com/mrss/";
constexpr std::string_view kItunes = "http://www.itunes.com/dtds/podcast-1.0.dtd";
constexpr std::string_view kXhtml = "http://www.w3.org/1999/xhtml";

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

bool IsWebLink(std::string_view link) {
  const auto startsNoCase = [&](std::string_view prefix) {
    return link.size() >= prefix.size() && EqualsNoCase(link.substr(0, prefix.size()), prefix);
  };
  return startsNoCase("http://") || startsNoCase("https://");
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

// The text of a field that several elements may give, in a fixed order of preference: the
// most preferred element that holds text wins, and of two alike the first.
struct BestText {
  static constexpr int kNone = 1 << 20;
  std::string text;
  int rank = kNone;

  bool Wants(int candidate) const { return candidate < rank; }
  void Offer(int candidate, std::string value) {
    if (candidate >= rank || value.empty()) return;
    text = std::move(value);
    rank = candidate;
  }
};

// Where a title, description or link may live, best first.
enum TitleRank { kOwnTitle, kDcTitle, kMediaTitle };
enum DescriptionRank {
  kOwnDescription,
  kEncoded,
  kXhtmlBody,
  kAtomContent,
  kMediaDescription,
  kItunesSummary,
  kDcDescription
};
enum LinkRank { kOwnLink, kPermalinkGuid, kAlternateWebLink, kAlternateLink, kOtherLink, kAbout };

struct ItemTexts {
  BestText title, description, link;
};

std::string Trimmed(std::string_view text) { return std::string(AsciiTrim(text, " \t\r\n")); }

std::string DecodeBase64(std::string_view text) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    int value;
    if (c >= 'A' && c <= 'Z')
      value = c - 'A';
    else if (c >= 'a' && c <= 'z')
      value = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      value = c - '0' + 52;
    else if (c == '+' || c == '-')
      value = 62;
    else if (c == '/' || c == '_')
      value = 63;
    else
      continue;  // padding and line breaks
    bits = (bits << 6) | static_cast<uint32_t>(value);
    if ((count += 6) >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// The text of an Atom text construct: inline XHTML (1.0 type="xhtml", 0.3 mode="xml") as
// markup, 0.3 base64 decoded, anything else as the element's text.
std::string AtomText(const XmlNode& node) {
  if (node.Attribute("type") == "xhtml" || node.Attribute("mode") == "xml")
    return Trimmed(node.InnerMarkup());
  if (node.Attribute("mode") == "base64") return Trimmed(SanitiseUtf8(DecodeBase64(node.Text())));
  return node.Text();
}

// The item's page among Atom links: an alternate (or rel-less) web address first, never the
// feed itself or an enclosure. A link without href holds its address as text.
void OfferAtomLink(const XmlNode& link, const XmlNode& item, const ReadOptions& options,
                   ItemTexts& texts) {
  const std::string rel = link.Attribute("rel");
  if (rel == "self" || rel == "enclosure") return;
  const bool alternate = rel.empty() || rel == "alternate";
  if (!texts.link.Wants(alternate ? kAlternateWebLink : kOtherLink)) return;
  std::string address = link.Attribute("href");
  if (address.empty()) address = link.Text();
  ResolveLink(item, address, options.address);
  const int rank = !alternate           ? kOtherLink
                   : IsWebLink(address) ? kAlternateWebLink
                                        : kAlternateLink;
  texts.link.Offer(rank, std::move(address));
}

// Elements of other vocabularies that items of every format borrow.
void OfferBorrowed(const XmlNode& child, const XmlNode& item, const ReadOptions& options,
                   ItemTexts& texts) {
  const std::string_view ns = child.NamespaceUri();
  const std::string_view name = child.LocalName();
  const bool descriptions = options.wantDescriptions;
  const auto offer = [&](BestText& field, int rank, auto text) {
    if (field.Wants(rank)) field.Offer(rank, text());
  };
  const auto plain = [&] { return child.Text(); };
  if (ns == kDublinCore) {
    if (name == "title")
      offer(texts.title, kDcTitle, plain);
    else if (name == "description" && descriptions)
      offer(texts.description, kDcDescription, plain);
  } else if (ns == kMedia) {
    if (name == "title")
      offer(texts.title, kMediaTitle, plain);
    else if (name == "description" && descriptions)
      offer(texts.description, kMediaDescription, plain);
    else if (name == "group")
      for (auto part = child.FirstChildElement(); part; part = part->NextSiblingElement())
        OfferBorrowed(*part, item, options, texts);
  } else if (!descriptions && ns != kAtom10) {
    return;
  } else if (ns == kContent && name == "encoded") {
    offer(texts.description, kEncoded, plain);
  } else if (ns == kXhtml && name == "body") {
    offer(texts.description, kXhtmlBody, [&] { return Trimmed(child.InnerMarkup()); });
  } else if (ns == kItunes && name == "summary") {
    offer(texts.description, kItunesSummary, plain);
  } else if (ns == kAtom10 && name == "link") {
    OfferAtomLink(child, item, options, texts);
  } else if (ns == kAtom10 && name == "content" && descriptions) {
    offer(texts.description, kAtomContent, [&] { return AtomText(child); });
  }
}

void Finish(const XmlNode& node, const ReadOptions& options, ItemTexts& texts, RssItem& item) {
  item.title = std::move(texts.title.text);
  item.link = std::move(texts.link.text);
  ResolveLink(node, item.link, options.address);
  item.description = std::move(texts.description.text);
}

// The names every RSS version shares; TakeRssField ignores any other name.
void TakeRssField(std::string_view name, const XmlNode& child, const ReadOptions& options,
                  ItemTexts& texts) {
  if (name == "title") {
    if (texts.title.Wants(kOwnTitle)) texts.title.Offer(kOwnTitle, child.Text());
  } else if (name == "link") {
    if (texts.link.Wants(kOwnLink)) texts.link.Offer(kOwnLink, child.Text());
  } else if (name == "description") {
    if (options.wantDescriptions && texts.description.Wants(kOwnDescription))
      texts.description.Offer(kOwnDescription, child.Text());
  } else if (name == "guid" && texts.link.Wants(kPermalinkGuid)) {
    const std::string permalink = child.Attribute("isPermaLink");
    if (!permalink.empty() && permalink != "true") return;
    std::string guid = child.Text();
    if (IsWebLink(guid)) texts.link.Offer(kPermalinkGuid, std::move(guid));
  }
}

// Each reader walks an item's children once, keeping the best element of each field.

// RSS 0.9x and 2.0: the elements are in the root's namespace (none, or a default one).
void ReadRssItem(const XmlNode& node, std::string_view ns, const ReadOptions& options,
                 RssItem& item) {
  ItemTexts texts;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (child->NamespaceUri() == ns)
      TakeRssField(child->LocalName(), *child, options, texts);
    else
      OfferBorrowed(*child, node, options, texts);
  }
  Finish(node, options, texts, item);
}

FeedParseResult ReadRss(const XmlNode& root, const ReadOptions& options, RssFeed& feed) {
  const std::string_view ns = root.NamespaceUri();
  bool titled = !feed.wantTitle, sawChannel = false;
  for (auto channel = root.FirstChildElement(); channel; channel = channel->NextSiblingElement()) {
    if (channel->NamespaceUri() != ns) continue;
    // RSS 0.9x writers put items after the channel, too.
    if (channel->LocalName() == "item" && sawChannel && !channel->IsDamaged())
      ReadRssItem(*channel, ns, options, feed.items.emplace_back());
    if (channel->LocalName() != "channel") continue;
    sawChannel = true;
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
  RssItem item;
  ItemTexts texts;
  bool author = false, date = false, subject = false;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement()) {
    const std::string_view name = child->LocalName();
    if (IsRdfRss(*child)) {
      TakeRssField(name, *child, options, texts);
    } else if (child->NamespaceUri() == kDublinCore && name == "creator") {
      TakeFirst(item.author, author, *child);
    } else if (child->NamespaceUri() == kDublinCore && name == "date") {
      TakeFirst(item.pubDate, date, *child);
    } else if (child->NamespaceUri() == kDublinCore && name == "subject") {
      TakeFirst(item.subject, subject, *child);
    } else {
      OfferBorrowed(*child, node, options, texts);
    }
  }
  texts.link.Offer(kAbout, node.Attribute("about", kRdf.data()));
  Finish(node, options, texts, item);
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
  ItemTexts texts;
  std::string updated;
  bool published = false, hasUpdated = false, author = false, category = false;
  for (auto child = node.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (child->NamespaceUri() != ns) {
      OfferBorrowed(*child, node, options, texts);
      continue;
    }
    const std::string_view name = child->LocalName();
    if (name == "title") {
      if (texts.title.Wants(kOwnTitle)) texts.title.Offer(kOwnTitle, AtomText(*child));
    } else if (name == "link") {
      OfferAtomLink(*child, node, options, texts);
    } else if (name == "summary" && wantDescriptions) {
      if (texts.description.Wants(kOwnDescription))
        texts.description.Offer(kOwnDescription, AtomText(*child));
    } else if (name == "content" && wantDescriptions) {
      if (texts.description.Wants(kAtomContent))
        texts.description.Offer(kAtomContent, AtomText(*child));
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
  Finish(node, options, texts, item);
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
    } else if (child->LocalName() == "title" && !titled) {
      feed.title = AtomText(*child);
      titled = true;
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

RssFeed ParseFeedFromMemory(std::string_view bytes, const FeedParseOptions& options,
                            const FeedSource& source, FeedParseResult* result) {
  RssFeed feed(options.wantTitle);
  FeedParseResult outcome = FeedParseResult::kUnreadableXml;
  if (const auto document = XmlDocument::ParseLenient(bytes, source.httpCharset))
    outcome = ReadDocument(*document, {options.wantDescriptions, source.address}, feed);
  if (result) *result = outcome;
  return feed;
}

RssFeed ParseFeed(const std::string& address, const FeedParseOptions& options,
                  std::stop_token stop) {
  HttpRequest request;
  request.url = address;
  request.stop = std::move(stop);
  const HttpResponse response = HttpGet(request);
  if (!response.ok) return RssFeed(options.wantTitle);
  return ParseFeedFromMemory(response.body, options,
                             {CharsetOfContentType(response.contentType), address});
}

}  // namespace lumarine
