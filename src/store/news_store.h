#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "feeds/rss_item.h"

namespace lumarine {

// The operations the program performs on news.mdb. Each opens its own connection on the
// calling thread and closes it before returning, so any thread may call them at once.
// Failures they report are shown with ShowMessageBox on the calling thread.

// What SaveFeedItems did.
struct SaveFeedResult {
  // Rows stored; an item already stored (the same link, or without a link the same title in
  // the same channel) is refused and not counted.
  int stored = 0;
  // The titles of the rows stored.
  std::vector<std::string> titles;
  // The batch could not be written at all (no database, a file that takes no writes, a lock
  // held elsewhere for longer than the wait budget).
  bool failed = false;
};

struct SaveFeedOptions {
  // False: only opens and closes the database and stores nothing.
  bool saveItems = true;
  // A stop requested here ends every wait for a lock at once.
  std::stop_token stop;
};

// Stores the feed's items as unread rows of channel `feed.className`, from `feed.feedLink`.
// A file that takes no writes is told to the user once, not per feed.
SaveFeedResult SaveFeedItems(const RssFeed& feed, const SaveFeedOptions& options = {});

// Runs the unread query of `channel` (empty: all channels). 1 when it ran, whether or not a
// row matched; 0 when the database could not be used. In this and the calls below, a stop
// requested on `stop` ends every wait for a lock at once.
int CheckUnreadItems(const std::string& channel, std::stop_token stop = {});

// Appends at most 18 unread items of `channel` (empty: all channels) to `feed.items`, with
// title, link and className set.
void LoadUnreadItems(RssFeed& feed, const std::string& channel, std::stop_token stop = {});

// Appends at most `limit` items of `channel` (empty: all channels) already marked read, the
// newest stored first, with title, link and className set: what the user saw in this run
// and may want to see again.
inline constexpr size_t kReadItemsShown = 50;
void LoadReadItems(RssFeed& feed, const std::string& channel, size_t limit = kReadItemsShown,
                   std::stop_token stop = {});

// Marks read every stored row whose link is the link of one of the feed's items; an item
// without a link marks the link-less row of its title and channel. 1 when the database could
// be opened (also for a null feed), else 0.
int MarkItemsRead(const RssFeed* feed, std::stop_token stop = {});

// Deletes every stored item.
void ClearAllItems();

}  // namespace lumarine
