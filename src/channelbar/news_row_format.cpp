#include "channelbar/news_row_format.h"

#include "htmlview/html_text.h"

namespace lumarine {

std::string FormatNewsRow(const RssItem& item) {
  std::string row =
      "<div id=news onmouseover=\"this.className='style1'\" onmouseout=\"this.className=''\">";
  if (IsWebAddress(item.link))
    row += "<a href=\"" + HtmlEscape(item.link) + "\" target=\"_blank\">" + HtmlEscape(item.title) +
           "</a>";
  else
    row += "<span>" + HtmlEscape(item.title) + "</span>";
  row += "<span class=classtag>[" + HtmlEscape(item.className) + "]</span></div>";
  return row;
}

}  // namespace lumarine
