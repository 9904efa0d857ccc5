#include "channelbar/news_row_format.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

RssItem Item(std::string title, std::string link, std::string className) {
  RssItem item;
  item.title = std::move(title);
  item.link = std::move(link);
  item.className = std::move(className);
  return item;
}

TEST(FormatNewsRow, GivesTheRowOfAPlainItem) {
  EXPECT_EQ(FormatNewsRow(Item("新闻标题", "http://news.example/a?b=1&c=2", "科技")),
            "<div id=news onmouseover=\"this.className='style1'\" "
            "onmouseout=\"this.className=''\"><a href=\"http://news.example/a?b=1&amp;c=2\" "
            "target=\"_blank\">新闻标题</a><span class=classtag>[科技]</span></div>");
}

struct RowCase {
  RssItem item;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

TEST(FormatNewsRow, KeepsFeedTextFromBecomingMarkupOrScript) {
  const RowCase cases[] = {
      // Titles are HTML: inline markup in effect, the rest of it gone, its text kept.
      {Item("<b>bold</b> &amp; <i>it</i>", "http://a/", "c"),
       {"<b>bold</b> &amp; <i>it</i></a>"},
       {"&lt;b&gt;"}},
      {Item("<img src=x onerror=alert(1)>x<script>y()</script>", "http://a/", "c"),
       {"target=\"_blank\">x</a>"},
       {"<img", "onerror", "<script"}},
      {Item("</a><a href=\"javascript:x()\">t</a>", "http://a/", "c"),
       {"target=\"_blank\">t</a><span"},
       {"javascript:"}},
      {Item("t", "http://a/ b\" onmouseover=\"alert(1)", "c"),
       {"href=\"http://a/ b&quot; onmouseover=&quot;alert(1)\""},
       {"\" onmouseover=\"alert"}},
      {Item("t", "http://a/", "</span><script>x()</script>"),
       {"[&lt;/span&gt;&lt;script&gt;x()&lt;/script&gt;]"},
       {"<script>"}},
      // Only web addresses are clickable: no script or app: address reaches the page.
      {Item("t", "javascript:alert(1)", "c"), {"<span>t</span>"}, {"<a ", "javascript:"}},
      {Item("t", "app:1007@科技", "c"), {"<span>t</span>"}, {"<a ", "app:"}},
      {Item("t", "", "c"), {"<span>t</span>"}, {"<a "}},
      {Item("t", "FTP://files.example/x", "c"), {"<a href=\"FTP://files.example/x\""}, {}},
  };
  for (const RowCase& c : cases) {
    const std::string row = FormatNewsRow(c.item);
    for (const std::string& text : c.present) EXPECT_NE(row.find(text), std::string::npos) << row;
    for (const std::string& text : c.absent) EXPECT_EQ(row.find(text), std::string::npos) << row;
  }
}

}  // namespace
}  // namespace lumarine
