#pragma once

#include <string>

#include "feeds/rss_feed.h"

namespace lumarine {

// The HTML of one row of the news list page. Title, class and link come from feeds: the
// title is read as HTML through the sanitiser (inline markup such as <b> in effect, nothing
// else), class and link are escaped, so feed text never runs script. Only http, https and ftp links
// become clickable, with the address quoted; any other link leaves the title as plain text,
// so feed content cannot reach a script address or an app: command.
std::string FormatNewsRow(const RssItem& item);

}  // namespace lumarine
