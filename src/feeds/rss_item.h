#pragma once

#include <string>
#include <vector>

namespace lumarine {

// One news item. Every field is text, empty when not set; `class` is the channel name.
struct RssItem {
  std::string title;
  std::string link;
  std::string description;
  std::string author;
  std::string category;
  std::string pubDate;
  std::string subject;
  std::string className;  // "class": the channel an item was stored under
};

// One parsed or loaded feed; owns copies of its items, in document order.
class RssFeed {
 public:
  explicit RssFeed(bool wantTitle = false) : wantTitle(wantTitle) {}

  size_t ItemCount() const { return items.size(); }
  const RssItem& Item(size_t index) const { return items[index]; }
  // A feed is valid when it yields at least one item.
  bool IsValid() const { return !items.empty(); }

  bool wantTitle;
  std::string title;
  std::string feedLink;   // set by the caller before saving
  std::string className;  // channel name the items are saved under
  std::vector<RssItem> items;
};

}  // namespace lumarine
