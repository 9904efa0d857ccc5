#include "channelbar/news_row_format.h"

#include "base/command_ids.h"
#include "htmlview/app_commands.h"
#include "platform/html_sanitizer.h"
#include "platform/html_text.h"

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

std::string FormatEmptyListNotice(EmptyListReason reason,
                                  const std::vector<std::string>& failedChannels) {
  const std::string manager = "<a href=\"app:" + std::to_string(kCmdManageChannels) + "@\">";
  switch (reason) {
    case EmptyListReason::kNoChannel:
      return "<div>还没有订阅频道</div><div>" + manager + "添加删除频道...</a></div>";
    case EmptyListReason::kFeedsFailed: {
      std::string names;
      for (const std::string& name : failedChannels)
        names += "<span class=classtag>[" + HtmlEscape(name) + "]</span>";
      // The edit channel dialog, reached from the manager, tells each feed's failure.
      return "<div>" + names + "频道的新闻源都无法下载</div><div>" + manager + "查看原因</a></div>";
    }
    case EmptyListReason::kNothingUnread:
      break;
  }
  return "<div>暂无新消息</div>";
}

std::string FormatReadAgainLink() {
  return "<a href=\"app:" + std::to_string(kAppShowReadNews) + "@\">显示已读新闻</a>";
}

}  // namespace lumarine
