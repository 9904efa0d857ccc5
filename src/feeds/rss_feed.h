#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "feeds/rss_item.h"

namespace lumarine {

// What a parse of a feed document gave.
enum class FeedParseResult { kItems, kNoItems, kNotAFeed, kUnreadableXml };

// What of a feed beyond its items' titles and links is read.
struct FeedParseOptions {
  // The feed's own title.
  bool wantTitle = false;
  // The items' descriptions.
  bool wantDescriptions = false;
};

// Where bytes already in memory came from.
struct FeedSource {
  // The charset sent with them, if any.
  std::string_view httpCharset;
  // Their address: a relative item link is made absolute against the document's xml:base
  // and it.
  std::string_view address;
};

// Loads the document at `address` (http(s), file:// or a path) and reads its RSS 2.0 items.
// Every failure gives a feed without items and with an empty title; nothing is reported.
// Blocks for the whole download; `stop` aborts it.
RssFeed ParseFeed(const std::string& address, const FeedParseOptions& options = {},
                  std::stop_token stop = {});

// Same, from bytes already in memory. `result`, when given, says whether items came out, or
// why none did: kItems (at least one item), kNoItems (a feed document without items),
// kNotAFeed (XML that is no RSS, Atom or RDF feed), kUnreadableXml (bytes that give no XML
// document at all).
RssFeed ParseFeedFromMemory(std::string_view bytes, const FeedParseOptions& options = {},
                            const FeedSource& source = {}, FeedParseResult* result = nullptr);

class XmlNode;
// Text of the first node selected by `path` relative to `node`; empty when there is none.
std::string XmlSelectText(const XmlNode& node, const std::string& path);

}  // namespace lumarine
