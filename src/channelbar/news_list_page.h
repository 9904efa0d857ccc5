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
  // Put after the row container by the host (the template stays as shipped): why the list
  // is empty, and the link that brings back rows already read.
  static constexpr const char* kNotice = "lm_notice";
  static constexpr const char* kReadAgain = "lm_readagain";

  explicit NewsListPage(CHtmlCtrlEx* view) : view_(view) {}

  // Puts the item's row on top of the rows shown, unless the very same row (link, title and
  // channel) is on the page already.
  void InsertNewsRow(const RssItem& item);
  // Puts the item's row under the rows shown, with the same rule.
  void AppendNewsRow(const RssItem& item);
  // Shows `html` (a notice: the list has no row) in place of the loading marker, with the
  // read-again link under it. A row that arrives replaces the notice.
  void ShowNotice(const std::string& html);
  // Rows on the page since the last load.
  size_t RowCount() const { return shownRows_.size(); }
  // Display "none" when hiding, the empty text when showing.
  void SetElementHidden(const std::string& id, bool hide);
  // Loads the template again: no rows, loading marker shown.
  void Reload();

 private:
  CHtmlCtrlEx* view_;
  bool AddRow(const RssItem& item, const char* where);

  std::set<std::string> shownRows_;  // the HTML of every row since the last load
};

}  // namespace lumarine
