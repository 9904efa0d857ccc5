#pragma once

#include <set>
#include <string>

#include "feeds/rss_feed.h"

namespace lumarine {

class CHtmlCtrlEx;

// The channel bar's operations on its news list page. Operations sent while the page loads
// are carried out, in order, once it has loaded. Failures (no element, script error) are
// silent. GUI thread only; the view is not owned and must outlive this object.
class NewsListPage {
 public:
  static constexpr const char* kRowContainer = "c_1";
  static constexpr const char* kLoadingMarker = "loading";

  explicit NewsListPage(CHtmlCtrlEx* view) : view_(view) {}

  // Puts the item's row on top of the rows shown, unless the very same row (link, title and
  // channel) is on the page already.
  void InsertNewsRow(const RssItem& item);
  // Display "none" when hiding, the empty text when showing.
  void SetElementHidden(const std::string& id, bool hide);
  // Loads the template again: no rows, loading marker shown.
  void Reload();

 private:
  CHtmlCtrlEx* view_;
  std::set<std::string> shownRows_;  // the HTML of every row since the last load
};

}  // namespace lumarine
