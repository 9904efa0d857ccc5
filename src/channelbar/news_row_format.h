#pragma once

#include <string>
#include <vector>

#include "feeds/rss_feed.h"

namespace lumarine {

// The HTML of one row of the news list page. Title, class and link come from feeds: the
// title is read as HTML through the sanitiser (inline markup such as <b> in effect, nothing
// else), class and link are escaped, so feed text never runs script. Only http, https and ftp links
// become clickable, with the address quoted; any other link leaves the title as plain text,
// so feed content cannot reach a script address or an app: command.
std::string FormatNewsRow(const RssItem& item);

// Why the news list has no row, and what the user can do about it.
enum class EmptyListReason {
  kNoChannel,      // nothing subscribed: the channel manager is the first step
  kFeedsFailed,    // every feed of the shown channels failed to download
  kNothingUnread,  // the feeds work; there is simply nothing new
};

// The HTML the news list shows instead of rows; `failedChannels` names the channels of
// kFeedsFailed. Channel names are escaped.
std::string FormatEmptyListNotice(EmptyListReason reason,
                                  const std::vector<std::string>& failedChannels = {});

// The link under the list that brings back the rows already read.
std::string FormatReadAgainLink();

}  // namespace lumarine
