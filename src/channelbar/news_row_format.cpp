#include "channelbar/news_row_format.h"

#include "htmlview/html_text.h"
#include "subjects/html_sanitizer.h"

namespace lumarine {

std::string FormatNewsRow(const RssItem& item) {
  std::string row =
      "<div id=news onmouseover=\"this.className='style1'\" onmouseout=\"this.className=''\">";
  const std::string title = SanitizeTitleHtml(item.title);
  if (IsWebAddress(item.link))
    row += "<a href=\"" + HtmlEscape(item.link) + "\" target=\"_blank\">" + title + "</a>";
  else
    row += "<span>" + title + "</span>";
  row += "<span class=classtag>[" + HtmlEscape(item.className) + "]</span></div>";
  return row;
}

}  // namespace lumarine
