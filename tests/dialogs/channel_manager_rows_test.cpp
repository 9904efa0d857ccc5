#include "dialogs/channel_manager_rows.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(ManagerRows, HeadRowKeepsItsExactText) {
  EXPECT_EQ(ManagerHeadRow(),
            "<div id=pagehead><span style=\"width:150px\">频道</span><span "
            "style=\"width:100px\">状态</span><span style=\"width:100px\">操作</span><span  "
            "style=\"width:100px\">新闻源定制</span></div>");
}

TEST(ManagerRows, SubscribedAndUnsubscribedRowsDifferInClassStateAndAction) {
  EXPECT_EQ(FormatManagerChannelRow(2, "科技", true),
            "<div class=classsub><span style=\"width:150px\">科技</span><span id=\"substate2\" "
            "style=\"width:100px\">已订阅</span><span style=\"width:100px\"><a href=\"#\" "
            "onclick=\"javascript:onModify('substate2','%E7%A7%91%E6%8A%80')\">取消订阅</a></"
            "span><span style=\"width:100px\"><a href=\"app:1005@%E7%A7%91%E6%8A%80\">订制新闻源"
            "</a></span></div>");
  const std::string row = FormatManagerChannelRow(7, "News", false);
  EXPECT_NE(row.find("<div class=classunsub>"), std::string::npos);
  EXPECT_NE(row.find("id=\"substate7\" style=\"width:100px\">未订阅"), std::string::npos);
  EXPECT_NE(row.find("onModify('substate7','News')\">订阅</a>"), std::string::npos);
}

TEST(ManagerRows, OnlyASubscribedChannelWhoseFeedsAllFailedIsMarked) {
  const std::string dead = FormatManagerChannelRow(3, "科技", true, true);
  EXPECT_NE(dead.find(">科技 <span class=deadmark"), std::string::npos);
  EXPECT_NE(dead.find(">(失效)</span></span><span id=\"substate3\""), std::string::npos);
  EXPECT_EQ(FormatManagerChannelRow(3, "科技", false, true).find("deadmark"), std::string::npos);
  EXPECT_EQ(FormatManagerChannelRow(3, "科技", true, false).find("deadmark"), std::string::npos);
}

TEST(ManagerRows, ANameCannotBreakOutOfTheRowOrTheScriptCall) {
  const std::string row = FormatManagerChannelRow(1, "x','y');alert(1)//<b>\"", false);
  EXPECT_NE(row.find(">x&#39;,&#39;y&#39;);alert(1)//&lt;b&gt;&quot;</span>"), std::string::npos);
  EXPECT_NE(row.find("onModify('substate1','x%27%2C%27y%27%29%3Balert%281%29%2F%2F%3Cb%3E%22')"),
            std::string::npos);
  EXPECT_EQ(row.find("<b>"), std::string::npos);
}

}  // namespace
}  // namespace lumarine
