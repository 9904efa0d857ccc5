#pragma once

#include <string>
#include <vector>

#include "feeds/rss_item.h"

namespace lumarine {

// The operations the program performs on news.mdb. Each opens its own connection on the
// calling thread and closes it before returning, so any thread may call them at once.
// Failures they report are shown with ShowMessageBox on the calling thread.

// Stores the feed's items as unread rows of channel `feed.className`, from `feed.feedLink`.
// Returns the number of rows stored; an item already stored (the same link, or without a link
// the same title in the same channel) is refused and not counted. With `saveItems` false only
// opens and closes the database and returns 0. When `storedTitles` is given, the titles of
// the rows stored are appended to it. `failed`, when given, tells whether the batch could not
// be written at all (no database, a file that takes no writes, a lock held elsewhere for
// longer than the wait budget); a file that takes no writes is told to the user once, not
// per feed.
int SaveFeedItems(const RssFeed& feed, bool saveItems,
                  std::vector<std::string>* storedTitles = nullptr, bool* failed = nullptr);

// Runs the unread query of `channel` (empty: all channels). 1 when it ran, whether or not a
// row matched; 0 when the database could not be used.
int CheckUnreadItems(const std::string& channel);

// Appends at most 18 unread items of `channel` (empty: all channels) to `feed.items`, with
// title, link and className set.
void LoadUnreadItems(RssFeed& feed, const std::string& channel);

// Appends at most `limit` items of `channel` (empty: all channels) already marked read, the
// newest stored first, with title, link and className set: what the user saw in this run
// and may want to see again.
void LoadReadItems(RssFeed& feed, const std::string& channel, size_t limit = 50);

// Marks read every stored row whose link is the link of one of the feed's items; an item
// without a link marks the link-less row of its title and channel. 1 when the database could
// be opened (also for a null feed), else 0.
int MarkItemsRead(const RssFeed* feed);

// Deletes every stored item.
void ClearAllItems();

}  // namespace lumarine
