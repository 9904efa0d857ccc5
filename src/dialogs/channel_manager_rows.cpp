#include "dialogs/channel_manager_rows.h"

#include "platform/html_text.h"

namespace lumarine {

std::string ManagerHeadRow() {
  return "<div id=pagehead><span style=\"width:150px\">频道</span><span "
         "style=\"width:100px\">状态</span><span style=\"width:100px\">操作</span><span  "
         "style=\"width:100px\">新闻源定制</span></div>";
}

std::string FormatManagerChannelRow(int n, const std::string& name, bool subscribed,
                                    bool allFeedsFailed) {
  const std::string number = std::to_string(n);
  std::string shown = HtmlEscape(name);
  if (subscribed && allFeedsFailed)
    shown +=
        " <span class=deadmark style=\"color:#cc0000\" title=\"新闻源全部下载失败\">"
        "(失效)</span>";
  const std::string passed = PercentEncode(name);
  return std::string("<div class=") + (subscribed ? "classsub" : "classunsub") +
         "><span style=\"width:150px\">" + shown + "</span><span id=\"substate" + number +
         "\" style=\"width:100px\">" + (subscribed ? "已订阅" : "未订阅") +
         "</span><span style=\"width:100px\"><a href=\"#\" "
         "onclick=\"javascript:onModify('substate" +
         number + "','" + passed + "')\">" + (subscribed ? "取消订阅" : "订阅") +
         "</a></span><span style=\"width:100px\"><a href=\"app:1005@" + passed +
         "\">订制新闻源</a></span></div>";
}

}  // namespace lumarine
